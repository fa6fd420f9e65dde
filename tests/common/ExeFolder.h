#pragma once

#include <windows.h>

#include <string>

// The running program's folder with a trailing separator: the built
// Halyard.dll sits there beside the test programs and the benchmark.
inline std::string ExeFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}
