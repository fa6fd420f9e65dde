#pragma once

#include <string>

// What a named button does in a working map before the user says otherwise:
// the right-hand side of its [Keys] line ("Enter", "Up, repeat",
// "VK_VOLUME_UP, repeat fast"); empty for a button that has no common action
// (Menu, Info, Record, Power...: what they should do differs too much from
// one program to the next). name as the names table writes it.
std::string CommonButtonAction(const std::string& name);
