#include "KeysPaths.h"

#include <windows.h>

#include <stdio.h>

#include "AnsiPath.h"
#include "HostPaths.h"
#include "Strings.h"
#include "Text.h"

bool FindKeysPaths(const std::string& iniGiven, KeysPaths* paths, std::string* error)
{
    std::wstring folder = ProgramFolderWide();
    paths->exe = folder + L"halyard-keys.exe";
    wchar_t exe[MAX_PATH * 4];
    DWORD length = GetModuleFileNameW(nullptr, exe, ARRAYSIZE(exe));
    if (length && length < ARRAYSIZE(exe))
        paths->exe.assign(exe, length);
    paths->dll = ProgramFolder() + "Halyard.dll";

    std::wstring given;
    if (!iniGiven.empty() && !FullPath(Widen(iniGiven), &given)) {
        *error = "invalid INI path '" + iniGiven + "'";
        return false;
    }
    paths->ini = FindSettingsFile(given, folder, UserAppDataFolder());
    if (paths->ini.source == SettingsFile::Source::UserProfile) {
        // A failure shows when the file is read: it is missing.
        std::string ignored;
        CreateUserSettings(paths->ini, folder + kExampleName, &ignored);
    }
    if (!AnsiPathFor(paths->ini.path, &paths->libraryIni))
        paths->libraryIni.clear();
    return true;
}

std::string IniNotForLibraryText(const std::wstring& iniPath)
{
    std::string path = Utf8FromWide(iniPath);
    std::string text(sizeof(strings::kIniNotForLibrary) + path.size(), '\0');
    int length = snprintf(&text[0], text.size(), strings::kIniNotForLibrary, path.c_str());
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}
