#pragma once

#include <windows.h>

#include <string>

// Turns an edit control of a dialog into a field that takes a key
// combination as the keyboard types it, as Windows' hotkey control does:
// the modifiers held and the key, written as the key map writes them
// ("Ctrl+Shift+P", "VK_MEDIA_PLAY_PAUSE", "Alt+F4"). Every key is taken,
// Enter and Esc too, but Tab, which still moves on, so that the dialog stays
// usable from the keyboard. Its text is the combination: set it with
// SetWindowText as well.
bool AttachKeyCapture(HWND edit);

// The combination for a key going down with the modifiers held now.
std::string CombinationFor(WORD vk, bool ctrl, bool alt, bool shift, bool win);
