#pragma once

#include <windows.h>

#include <vector>

#include "KeyMap.h"

// The mouse events of a mouse: action other than a move, at the pointer
// where it is. dragging: the left button is held by a drag, which a click
// or another drag lets go (the drop) instead of clicking.
std::vector<INPUT> PointerInputs(PointerAction action, bool dragging);

// The button-up flag that undoes a button-down in flags; 0 for none.
DWORD ButtonUpFlag(DWORD flags);

// A mouse event of those flags, at the pointer.
INPUT MouseEvent(DWORD flags, DWORD data = 0);
