#include "SettingsFile.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include "HostMessages.h"

const wchar_t kSettingsName[] = L"halyard.ini";
const wchar_t kExampleName[] = L"halyard.example.ini";

namespace {

const wchar_t kUserFolder[] = L"Halyard";

std::wstring WithSeparator(const std::wstring& folder)
{
    if (folder.empty() || folder.back() == L'\\' || folder.back() == L'/')
        return folder;
    return folder + L'\\';
}

bool IsFile(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

SettingsFile FindSettingsFile(const std::wstring& given, const std::wstring& programFolder,
                              const std::wstring& appDataFolder)
{
    SettingsFile settings;
    if (!given.empty()) {
        settings.path = given;
        settings.source = SettingsFile::Source::CommandLine;
        return settings;
    }
    settings.path = WithSeparator(programFolder) + kSettingsName;
    settings.source = SettingsFile::Source::BesideProgram;
    if (!IsFile(settings.path) && !appDataFolder.empty()) {
        settings.path = WithSeparator(appDataFolder) + kUserFolder + L'\\' + kSettingsName;
        settings.source = SettingsFile::Source::UserProfile;
    }
    return settings;
}

std::wstring UserAppDataFolder()
{
    wchar_t* folder = nullptr;
    std::wstring result;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder)))
        result = folder;
    CoTaskMemFree(folder);
    return result;
}

bool CreateUserSettings(const SettingsFile& settings, const std::wstring& example,
                        std::string* error)
{
    if (IsFile(settings.path))
        return true;
    std::wstring folder = settings.path.substr(0, settings.path.find_last_of(L"\\/"));
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        *error = SystemMessage(GetLastError());
        return false;
    }
    // Never over a file that appeared meanwhile (another instance).
    if (!CopyFileW(example.c_str(), settings.path.c_str(), TRUE) &&
        GetLastError() != ERROR_FILE_EXISTS) {
        *error = SystemMessage(GetLastError());
        return false;
    }
    // The user edits this copy, whatever the example's attributes.
    DWORD attributes = GetFileAttributesW(settings.path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(settings.path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return true;
}
