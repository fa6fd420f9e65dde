#pragma once

#include <string>

#include "KeyMap.h"

// The right-hand side of a [Keys] line:
//   <action> [, long: <action>] [, repeat | , repeat fast]
// where an action is a key combination, "run: <command line>" or "nothing".
// Commas inside quotes belong to a command line, and so do commas that
// start nothing known; anything else after a comma is an error. Fills
// mapping's action, long action and repeat; false with *error when bad.
bool ParseMappingValue(const std::string& value, KeyMapping* mapping, std::string* error);
