#pragma once

// The library under test, loaded from the benchmark's folder and called
// through its exports, and the INI file that InitRemoteControl reads.

#include <windows.h>

#include <string>

#include "halyard.h"

namespace bench {

struct Library {
    HMODULE module = nullptr;
    PFN_InitRemoteControl init = nullptr;
    PFN_UnInitRemoteControl uninit = nullptr;

    bool Load(); // Halyard.dll beside the program; false, with a message, on failure
    ~Library();  // UnInitRemoteControl, then FreeLibrary
};

// A temporary INI file with the given contents, deleted again at the end.
class IniFile {
public:
    explicit IniFile(const char* contents);
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

} // namespace bench
