#pragma once

#include <windows.h>

#include <string>

#include "halyard.h"

// Halyard.dll loaded from an absolute path, with its two exports resolved by
// name. The current directory is never searched: the DLL's own folder and
// the system folders are.
class HalyardLibrary {
public:
    enum class Status { Ok, LoadFailed, ExportMissing };

    HalyardLibrary() = default;
    ~HalyardLibrary();
    HalyardLibrary(const HalyardLibrary&) = delete;
    HalyardLibrary& operator=(const HalyardLibrary&) = delete;

    // On failure *error holds a one-line reason.
    Status Load(const std::string& absolutePath, std::string* error);
    void Unload();

    PFN_InitRemoteControl init = nullptr;
    PFN_UnInitRemoteControl uninit = nullptr;

private:
    HMODULE module_ = nullptr;
};
