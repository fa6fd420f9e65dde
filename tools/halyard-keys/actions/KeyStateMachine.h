#pragma once

#include <windows.h>

#include <vector>

#include "KeyMap.h"

// An action that is due now, so many times in a row.
struct DueAction {
    const KeyAction* action; // into the map the mapping came from
    unsigned times = 1;
    bool isLong = false;
};

// The life of one press of a remote key: pressed, held, long, released.
//
// The remote says nothing when a key goes up. The library posts one message
// per frame the driver reports, and a held key keeps reporting, one frame
// per 250 ms poll; so a key is held while its frames keep coming, and
// released when none has come for RepeatGuardMs, or when another key's
// frame arrives. The remote sends one key at a time, so one machine follows
// the key in hand.
//
// What is due when, by the key's mapping:
// - plain: its action on the first frame, nothing while held;
// - repeat: also on every frame from RepeatDelayMs after the press;
//   repeat fast: twice per frame after a second, three times after two;
// - with a long action: nothing on the press; the long action on the first
//   frame at least LongPressMs after it (a frame proves the key is still
//   down), or else the short action on release.
// Fed by arrivals and by a timer for the release; all times are
// GetTickCount values, so that tests can bring their own.
class KeyStateMachine {
public:
    enum class Phase { Idle, Pressed, Held, Long };

    struct Timing {
        DWORD guardMs = kDefaultRepeatGuardMs;
        DWORD longPressMs = kDefaultLongPressMs;
        DWORD repeatDelayMs = kDefaultRepeatDelayMs;
    };

    void SetTiming(const Timing& timing) { timing_ = timing; }
    // Forgets the key in hand without acting, e.g. after a pause or when
    // the map it came from is replaced.
    void Reset();

    // True when a frame of code at now is the key in hand, still held: it
    // keeps the mapping it was pressed with.
    bool Continues(unsigned code, DWORD now) const;
    // A frame of code at now; mapping (null: not mapped) is what the key
    // does if this frame starts a press. Appends what is due: the short
    // action of a key this one released, then this key's.
    void Arrive(unsigned code, const KeyMapping* mapping, DWORD now, std::vector<DueAction>* due);
    // The timer: releases a key not heard from for the guard time.
    void Tick(DWORD now, std::vector<DueAction>* due);
    // Milliseconds from now until Tick has something to do; INFINITE when
    // no timer is needed (a release without an action is noticed by the
    // next arrival).
    DWORD WaitMs(DWORD now) const;

    Phase phase() const { return phase_; }

private:
    void Release(std::vector<DueAction>* due);
    bool AwaitsRelease() const;

    Timing timing_;
    Phase phase_ = Phase::Idle;
    unsigned code_ = 0;
    const KeyMapping* mapping_ = nullptr;
    DWORD pressedAt_ = 0;
    DWORD lastAt_ = 0;
};
