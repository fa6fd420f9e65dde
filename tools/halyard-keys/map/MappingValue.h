#pragma once

#include <string>

#include "KeyMap.h"

// The right-hand side of a [Keys] line:
//   <action> [, long: <action>] [, repeat | , repeat fast]
// where an action is a key combination or a sequence of them with waits
// ("Ctrl+C, wait 200, Ctrl+V"), "run: <command line>", "show: <program or
// command line>", "mode: <name> [, once]", "mode: off", "type: <text>",
// "mouse: <pointer action>" or "nothing". A text to type takes the rest of
// the line, commas and all;
// commas inside quotes belong to a command line, and so do commas that
// start nothing known. Fills mapping's action, long action and repeat;
// false with *error when bad.
bool ParseMappingValue(const std::string& value, KeyMapping* mapping, std::string* error);

// A mode's name as [Mode:<name>] and mode: write it: no brackets, colons or
// commas, nothing that would end the line or the section's name.
bool IsModeName(const std::string& name);
