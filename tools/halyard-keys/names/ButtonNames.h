#pragma once

#include <string>

// The names a remote's buttons go by: Linux's input event names, as LIRC
// and its clients use them (KEY_OK, KEY_VOLUMEUP, KEY_CHANNELUP, KEY_0...).
// A map written with them says which button a line is about, whatever code
// a given remote sends for it, and reads the same to anyone with a remote
// of that kind. Only the common part of that namespace is known: the keys a
// remote control has, not every keyboard's.

// The name as the table writes it (upper case) when name, in any case, is
// one of them; false otherwise.
bool LookUpButtonName(const std::string& name, std::string* canonical);

// Whether a map's key is meant as a button name rather than a code: it
// starts with KEY_ or BTN_, in any case. Such a key that LookUpButtonName
// does not know is reported as an unknown name, not as a bad code.
bool LooksLikeButtonName(const std::string& key);
