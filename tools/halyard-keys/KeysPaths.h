#pragma once

#include <string>

#include "SettingsFile.h"

// The files halyard-keys works with.
struct KeysPaths {
    std::wstring exe;       // this program
    std::string dll;        // Halyard.dll beside it, as ANSI text (see AnsiPath.h)
    SettingsFile ini;       // the INI file, and where it was found
    std::string libraryIni; // ini.path as the library takes it; empty when it cannot
};

// iniGiven: --ini's path as given (UTF-8), or empty. Finds the INI file (see
// SettingsFile.h); the user's own is made from the example beside the
// program when it does not exist yet. False with *error when iniGiven cannot
// be made absolute.
bool FindKeysPaths(const std::string& iniGiven, KeysPaths* paths, std::string* error);

// Why the library is started without the INI file, whose path it cannot be
// given: for the notification and --check.
std::string IniNotForLibraryText(const std::wstring& iniPath);
