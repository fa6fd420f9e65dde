#include "HalyardLibrary.h"

#include "HostMessages.h"

HalyardLibrary::~HalyardLibrary()
{
    Unload();
}

HalyardLibrary::Status HalyardLibrary::Load(const std::string& absolutePath, std::string* error)
{
    Unload();
    // With an absolute path, the altered search order looks for the DLL's own
    // dependencies in its folder, never in the current directory.
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    module_ = LoadLibraryExA(absolutePath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    DWORD loadError = GetLastError();
    SetErrorMode(oldMode);
    if (!module_) {
        *error = "cannot load " + absolutePath;
        std::string text = SystemMessage(loadError);
        if (!text.empty())
            *error += ": " + text;
        return Status::LoadFailed;
    }

    init = reinterpret_cast<PFN_InitRemoteControl>(
        reinterpret_cast<void*>(GetProcAddress(module_, "InitRemoteControl")));
    uninit = reinterpret_cast<PFN_UnInitRemoteControl>(
        reinterpret_cast<void*>(GetProcAddress(module_, "UnInitRemoteControl")));
    if (!init || !uninit) {
        *error = absolutePath + " does not export " +
                 (init ? "UnInitRemoteControl" : "InitRemoteControl") +
                 " (not a Halyard library, or a different version)";
        Unload();
        return Status::ExportMissing;
    }
    return Status::Ok;
}

void HalyardLibrary::Unload()
{
    init = nullptr;
    uninit = nullptr;
    if (module_) {
        FreeLibrary(module_);
        module_ = nullptr;
    }
}
