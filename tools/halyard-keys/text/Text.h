#pragma once

#include <string>

// Text is UTF-8 inside the program (Utf8.h); the wide calls show it, and take
// the INI file's path. Only the library's own path and the one it is given
// are ANSI (see AnsiPath.h).
#include "Utf8.h"

// The system's text for an error code (HostMessages' SystemMessage), which
// comes in the ANSI code page, as UTF-8.
std::string SystemText(unsigned long code);

// A path as a menu shows it: %APPDATA%, %USERPROFILE% and the like in place
// of the folders they name, and at most maxChars characters, with "..." for
// the folders left out.
std::string DisplayPath(const std::wstring& path, unsigned maxChars);
