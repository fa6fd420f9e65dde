// The simulation build's entry: the library's two exports, with the same
// names, ordinals and results, over a SimulatedQBoxRemoteControl.

#include <windows.h>

#include "SimulatedQBoxRemoteControl.h"
#include "halyard.h"

namespace {
RemoteControlMonitor* simulated = nullptr; // null when its creation failed
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        simulated = new (std::nothrow) SimulatedQBoxRemoteControl();
    } else if (reason == DLL_PROCESS_DETACH) {
        delete simulated;
        simulated = nullptr;
    }
    return TRUE;
}

extern "C" HRESULT WINAPI InitRemoteControl(HWND hwnd, const char* iniPath)
{
    return simulated ? simulated->Start(hwnd, iniPath) : E_POINTER;
}

extern "C" HRESULT WINAPI UnInitRemoteControl()
{
    return simulated ? simulated->Stop() : E_POINTER;
}
