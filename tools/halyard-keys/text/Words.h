#pragma once

#include <string>

// The small pieces of reading that the settings' parsers share: the key map,
// [Names], [Network] and the address filter. Plain C++, no system calls:
// case is ASCII's, as the settings' words are.

// Without the spaces and tabs around it.
std::string TrimSpace(const std::string& text);
// Equal in ASCII, case aside: "Repeat" is "repeat".
bool SameWord(const std::string& a, const char* b);
// Whether text starts with prefix, case aside.
bool StartsWithWord(const std::string& text, const char* prefix);
// Whether text holds a control character (NUL, a tab, a line break...): no
// name of a program or a mode does, and one with a NUL would read as the
// name cut short where it is compared as a C string.
bool HasControlCharacter(const std::string& text);
// Decimal, or hexadecimal with 0x; false when not a number up to max.
bool ParseNumber(const std::string& text, unsigned max, unsigned* value);
