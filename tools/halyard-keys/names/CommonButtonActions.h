#pragma once

#include <string>

// What a named button does in a working map before the user says otherwise:
// the right-hand side of its [Keys] line ("Enter", "Up, repeat",
// "VK_VOLUME_UP, repeat fast"); empty for a button that has no common action
// (Menu, Info, Record, Power...: what they should do differs too much from
// one program to the next). name as the names table writes it.
std::string CommonButtonAction(const std::string& name);

// The ready mouse mode: what a named button does in [Mode:Mouse] (arrows
// move, OK clicks, Back right-clicks, the channel keys scroll; the button
// that entered the mode leaves it); empty for one that falls through to
// [Keys]. toggle: the button that enters and leaves the mode.
extern const char kMouseMode[]; // "Mouse"
std::string CommonMouseAction(const std::string& name, const std::string& toggle);
// The buttons that may enter the mouse mode, the first named one taken.
const char* const* MouseModeToggles(size_t* count);
