#pragma once

#include <windows.h>

// Tells a held key from a pressed one. The library posts one message per
// frame the driver reports, and a held key keeps reporting: the same key
// arriving again within the guard time of its previous arrival counts as
// held. Any other key in between ends the hold.
class RepeatGuard {
public:
    explicit RepeatGuard(DWORD guardMs = 0) : guardMs_(guardMs) {}

    // Records an arrival at now (GetTickCount); true when it is to be acted
    // on: a new press, or any arrival of a key mapped with repeats.
    bool Admit(unsigned code, DWORD now, bool repeats);

    // Forgets the last key, e.g. after a pause.
    void Reset() { hasLast_ = false; }
    void SetGuardMs(DWORD guardMs) { guardMs_ = guardMs; }

private:
    DWORD guardMs_;
    bool hasLast_ = false;
    unsigned lastCode_ = 0;
    DWORD lastAt_ = 0;
};
