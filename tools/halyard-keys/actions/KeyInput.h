#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A key combination as a keyboard types it: each key pressed in order, then
// released in reverse order.
std::vector<INPUT> KeyStrokeInputs(const std::vector<WORD>& keys);

// Sends the combination to the foreground window. False, with *error, when
// the system took fewer events than sent (another desktop, or a window of a
// program with higher rights, has the focus).
bool SendKeyStroke(const std::vector<WORD>& keys, std::string* error);
