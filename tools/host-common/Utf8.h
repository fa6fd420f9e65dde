#pragma once

#include <string>
#include <vector>

// The host tools keep text as UTF-8 and hand the system wide text; the
// library and the console take ANSI (AnsiPath.h).
std::wstring Widen(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& wide);
std::string Utf8FromAnsi(const std::string& ansi);

// The program's arguments as UTF-8, the program's name first, in the argc and
// argv form the option parsers take: a path may hold characters that the
// ANSI argv would turn into '?'.
class Utf8Argv {
public:
    Utf8Argv();
    Utf8Argv(const Utf8Argv&) = delete; // argv points into arguments_
    Utf8Argv& operator=(const Utf8Argv&) = delete;
    int argc() const { return static_cast<int>(pointers_.size()); }
    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> arguments_;
    std::vector<char*> pointers_;
};
