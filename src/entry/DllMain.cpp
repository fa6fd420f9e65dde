#include <windows.h>

#include "halyard.h"
#include "../qbox/QBoxRemoteControl.h"

// The process's one remote-control source; null when it could not be created.
static RemoteControlMonitor* remoteControl = nullptr;

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        remoteControl = new (std::nothrow) QBoxRemoteControl();
        break;
    case DLL_PROCESS_DETACH:
        delete remoteControl;
        remoteControl = nullptr;
        break;
    }
    // A failed allocation shows later as E_POINTER from both exports.
    return TRUE;
}

extern "C" HRESULT WINAPI InitRemoteControl(HWND hwnd, const char* iniPath)
{
    if (!remoteControl)
        return E_POINTER;
    return remoteControl->Start(hwnd, iniPath);
}

extern "C" HRESULT WINAPI UnInitRemoteControl()
{
    if (!remoteControl)
        return E_POINTER;
    return remoteControl->Stop();
}
