#include "HostPaths.h"

#include <windows.h>

#include "AnsiPath.h"

std::wstring ProgramFolderWide()
{
    wchar_t path[MAX_PATH * 4];
    DWORD length = GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    std::wstring folder(path, length < ARRAYSIZE(path) ? length : 0);
    size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

std::string ProgramFolder()
{
    std::wstring folder = ProgramFolderWide();
    std::string ansi;
    if (AnsiPathFor(folder, &ansi))
        return ansi;
    // No short form either: the best the ANSI calls can be given, which then
    // fail and say where.
    char path[MAX_PATH * 2];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string lossy(path, length < sizeof(path) ? length : 0);
    size_t slash = lossy.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : lossy.substr(0, slash + 1);
}

bool FullPath(const std::string& path, std::string* full)
{
    char buffer[MAX_PATH * 2];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof(buffer), buffer, nullptr);
    if (!length || length >= sizeof(buffer))
        return false;
    full->assign(buffer, length);
    return true;
}

bool FullPath(const std::wstring& path, std::wstring* full)
{
    wchar_t buffer[MAX_PATH * 4];
    DWORD length = GetFullPathNameW(path.c_str(), ARRAYSIZE(buffer), buffer, nullptr);
    if (!length || length >= ARRAYSIZE(buffer))
        return false;
    full->assign(buffer, length);
    return true;
}
