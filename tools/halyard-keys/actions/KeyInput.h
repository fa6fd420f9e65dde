#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A key combination as a keyboard types it: each key pressed in order, then
// released in reverse order.
std::vector<INPUT> KeyStrokeInputs(const std::vector<WORD>& keys);

// Text (UTF-8) as characters, whatever the keyboard's layout: each UTF-16
// unit down and up with KEYEVENTF_UNICODE, a character outside the Basic
// Multilingual Plane as its surrogate pair, the high one first. A line end
// is Enter.
std::vector<INPUT> TextInputs(const std::string& utf8);

// Sends inputs to the foreground window. False, with *error, when the
// system took fewer events than sent (another desktop, or a window of a
// program with higher rights, has the focus); the keys and buttons it did
// press are released again.
bool SendInputs(const std::vector<INPUT>& inputs, std::string* error);

// Releases those of keys that are down now: after a sequence cut short,
// none of the keys it pressed may stay down; VK_LBUTTON and the other
// buttons as the mouse's.
void ReleaseIfDown(const std::vector<WORD>& keys);
