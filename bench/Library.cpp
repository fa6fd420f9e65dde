#include "Library.h"

#include <cstdio>
#include <cstring>

#include "ExeFolder.h"

namespace bench {

bool Library::Load()
{
    std::string path = ExeFolder() + "Halyard.dll";
    module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) {
        fprintf(stderr, "cannot load %s: error %lu\n", path.c_str(), GetLastError());
        return false;
    }
    init = reinterpret_cast<PFN_InitRemoteControl>(
        reinterpret_cast<void*>(GetProcAddress(module, "InitRemoteControl")));
    uninit = reinterpret_cast<PFN_UnInitRemoteControl>(
        reinterpret_cast<void*>(GetProcAddress(module, "UnInitRemoteControl")));
    return init && uninit;
}

Library::~Library()
{
    if (module) {
        // A DLL without the export stops nothing: there is nothing to call.
        if (uninit)
            uninit();
        FreeLibrary(module);
    }
}

IniFile::IniFile(const char* contents)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    path_ = std::string(folder) + "halyard-bench-" + std::to_string(GetCurrentProcessId()) +
            ".ini";
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, contents, static_cast<DWORD>(strlen(contents)), &written, nullptr);
    CloseHandle(file);
}

IniFile::~IniFile()
{
    DeleteFileA(path_.c_str());
}

} // namespace bench
