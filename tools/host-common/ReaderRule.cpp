#include "ReaderRule.h"

#include <wchar.h>

const wchar_t kLibraryFileName[] = L"Halyard.dll";

std::wstring FileNameOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool IsOtherReader(const ProcessModules& process, const ReaderSelf& self)
{
    if (process.pid == self.pid)
        return false;
    // A second copy of this program steps aside by itself (or leaves at
    // once, as halyard-keys' second instance does): counting it would make
    // two copies stand aside for each other.
    if (!self.exe.empty() && _wcsicmp(FileNameOf(process.exe).c_str(), self.exe.c_str()) == 0)
        return false;
    for (const std::wstring& module : process.modules)
        if (_wcsicmp(FileNameOf(module).c_str(), kLibraryFileName) == 0)
            return true;
    return false;
}

ReaderSelf CurrentReaderSelf()
{
    ReaderSelf self;
    self.pid = GetCurrentProcessId();
    wchar_t path[MAX_PATH * 4];
    DWORD length = GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    if (length > 0 && length < ARRAYSIZE(path))
        self.exe = FileNameOf(std::wstring(path, length));
    return self;
}
