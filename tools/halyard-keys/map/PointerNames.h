#pragma once

#include <string>

#include "KeyMap.h"

// The words of mouse: actions, as the map writes them: "right", "up left",
// "right click", "wheel down", "drag". Any case; one or more spaces between
// two words.
bool LookUpPointerAction(const std::string& words, PointerAction* action);
std::string PointerActionName(PointerAction action);
// "up, down, left, right, ...": for the message of a line that names none.
std::string PointerActionNames();
