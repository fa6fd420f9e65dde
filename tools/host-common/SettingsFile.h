#pragma once

#include <string>

// Where the host tools' settings (halyard.ini) are, first found first:
//   1. the file given on the command line (--ini PATH);
//   2. halyard.ini beside the program: a copy unpacked from the ZIP, which
//      carries its settings with it;
//   3. %APPDATA%\Halyard\halyard.ini: the user's own, which an installed
//      copy uses and which an upgrade or uninstall never touches.
struct SettingsFile {
    enum class Source { CommandLine, BesideProgram, UserProfile };
    std::wstring path; // absolute
    Source source = Source::BesideProgram;
};

extern const wchar_t kSettingsName[]; // halyard.ini
extern const wchar_t kExampleName[];  // halyard.example.ini, what an installer puts beside the program

// given: the absolute path from the command line, or empty. programFolder
// and appDataFolder with or without a trailing separator; an empty
// appDataFolder (no user profile) leaves the file beside the program.
SettingsFile FindSettingsFile(const std::wstring& given, const std::wstring& programFolder,
                              const std::wstring& appDataFolder);

// The user's roaming application data folder (%APPDATA%); empty when there
// is none.
std::wstring UserAppDataFolder();

// For the user's own settings: makes their folder, and the file from
// example when it has none yet (an existing file is never replaced). True
// when the file exists afterwards; false with *error (a system message)
// otherwise, also when there is no example to copy.
bool CreateUserSettings(const SettingsFile& settings, const std::wstring& example,
                        std::string* error);
