#pragma once

#include <string>
#include <vector>

// The host tools keep text as UTF-8 and hand the system wide text; the
// library and the console take ANSI (AnsiPath.h).
std::wstring Widen(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& wide);
std::string Utf8FromAnsi(const std::string& ansi);

// The program's arguments as UTF-8, the program's name first: a path may hold
// characters that the ANSI argv would turn into '?'.
std::vector<std::string> Utf8Arguments();
