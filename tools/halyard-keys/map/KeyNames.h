#pragma once

#include "VirtualKeys.h"

#include <string>

// Key names of the key map: Microsoft's virtual-key names (VK_RETURN...),
// the usual short names (Enter, PageUp, F1...), single letters and digits,
// and the modifiers Ctrl, Alt, Shift and Win. Case does not matter.

// False when name names no key.
bool LookUpKey(const std::string& name, WORD* vk);

// How a key is shown: its short name when it has one, else its VK_ name.
std::string KeyName(WORD vk);

// Ctrl, Alt, Shift and Win, either side.
bool IsModifierKey(WORD vk);

// How the on-screen display shows a key: a name for people ("Volume up",
// "Page up", "Num 5"), the character of a punctuation key on this keyboard's
// layout, else KeyName without its VK_.
std::string KeyDisplayName(WORD vk);
