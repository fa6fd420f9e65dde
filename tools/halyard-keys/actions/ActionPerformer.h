#pragma once

#include "KeyMap.h"

// What carries out the actions of keys: KeySender, or a fake in tests.
// Actions are done in the order they come; one with waits goes on from the
// message loop, and those that come meanwhile wait behind it.
class ActionPerformer {
public:
    virtual ~ActionPerformer() = default;
    // action, times in a row (Keys, Type, Run, Show, Pointer but its moves;
    // a mode is the key map's own, a move PointerMotion's). False when it failed at once; the user has been told why.
    virtual bool Perform(const KeyAction& action, unsigned times) = 0;
    // Whether nothing is waiting to be done.
    virtual bool Idle() const = 0;
    // Drops what waits, and leaves no key or button down.
    virtual void Stop() = 0;
    // Lets go of a mouse: drag's button, if held, after what waits (its
    // mode ended).
    virtual void EndDrag() = 0;
    // While held back (the menu is open), nothing is sent; what waits goes
    // on afterwards.
    virtual void HoldBack(bool holdBack) = 0;
};
