#pragma once

#include <windows.h>

#include "KeyStateMachine.h"

// LIRC's repeat count: 0 for a key's first frame, one more for each further
// frame while it is held. Held is what the key map calls held (the key
// state machine's rule: the same key again within RepeatGuardMs), so that
// a client counts the frames the keystrokes count.
class RepeatCounter {
public:
    void SetGuardMs(DWORD guardMs);
    // The count of a frame of code arriving at now (GetTickCount).
    unsigned Frame(unsigned code, DWORD now);

private:
    KeyStateMachine machine_; // without mappings: only its sense of a press
    std::vector<DueAction> unused_;
    unsigned count_ = 0;
};
