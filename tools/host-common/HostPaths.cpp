#include "HostPaths.h"

#include <windows.h>

std::string ProgramFolder()
{
    char path[MAX_PATH * 2];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string folder(path, length < sizeof(path) ? length : 0);
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
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
