#pragma once

#include <windows.h>

#include <vector>

#include "KeyEvent.h"

// The life of one press of a remote key, from the frames the library posts.
//
// The remote says nothing when a key goes up. The library posts one message
// per frame the driver reports, and a held key keeps reporting, one frame
// per 250 ms poll; so a key is held while its frames keep coming, and
// released when none has come for RepeatGuardMs, or when another key's
// frame arrives. The remote sends one key at a time, so one press is in
// hand at most. A long press is proved by a frame: the first one at least
// LongPressMs after the press.
//
// All times are GetTickCount values, so that tests bring their own; the
// differences are unsigned, right across the count's wrap after 49 days.
class KeyFrames {
public:
    struct Timing {
        DWORD guardMs = 400;
        DWORD longPressMs = 800;
    };

    void SetTiming(const Timing& timing) { timing_ = timing; }

    // A frame of code at now: appends the release of the key in hand when
    // this frame is not its own, then this key's press; or its repeat, and
    // its long press once.
    void Frame(unsigned code, DWORD now, std::vector<KeyEvent>* events);
    // Releases the key in hand when no frame came for the guard time.
    void Tick(DWORD now, std::vector<KeyEvent>* events);
    // Milliseconds from now until Tick releases the key in hand; INFINITE
    // when no key is in hand.
    DWORD WaitMs(DWORD now) const;
    // Forgets the key in hand, if any: a Cancel event, always, so that what
    // a key started (keys held down, a sequence) ends too.
    void Cancel(std::vector<KeyEvent>* events);

    bool inHand() const { return inHand_; }

private:
    KeyEvent Event(KeyEvent::Kind kind) const;

    Timing timing_;
    bool inHand_ = false;
    bool long_ = false;
    unsigned code_ = 0;
    unsigned repeat_ = 0;
    DWORD pressedAt_ = 0;
    DWORD lastAt_ = 0;
};
