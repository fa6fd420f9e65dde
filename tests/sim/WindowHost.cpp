// A plain host of Halyard.dll, written as any application would be and
// knowing nothing of a simulation: it loads the DLL it is given, starts the
// remote control for a window and prints what arrives.
//
//   sim-window-host DLL INI STOPFILE SECONDS [notices|recover]
//
// Prints "init 0x........", one "key 0x.." line per WM_REMOTE_CODE, then
// "uninit 0x........". Runs until STOPFILE exists or SECONDS have passed;
// exits 1 when InitRemoteControl fails, 2 on a usage or load error.
//
// By default the window is message-only. With notices it is a hidden
// top-level window, which the system's broadcasts reach, and prints
// "notice WM_DEVICECHANGE 0x...." or "notice WM_POWERBROADCAST 0x...." for
// each; with recover it also restarts the library after a device change or a
// resume ("restart 0x........", the result of InitRemoteControl), as a host
// that keeps its remote working does.

#include <windows.h>

#include <dbt.h>
#include <objbase.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "halyard.h"

namespace {

const UINT_PTR kTimer = 1;
const UINT kRestart = WM_APP + 1;
const char* stopFile = nullptr;
const char* iniPath = nullptr;
DWORD deadline = 0;
bool recover = false;
PFN_InitRemoteControl init = nullptr;
PFN_UnInitRemoteControl uninit = nullptr;

void Notice(const char* message, WPARAM event)
{
    printf("notice %s 0x%04X\n", message, static_cast<unsigned>(event));
    fflush(stdout);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_REMOTE_CODE:
        printf("key 0x%02X\n", static_cast<unsigned>(lParam));
        fflush(stdout);
        return 0;
    case WM_DEVICECHANGE:
        Notice("WM_DEVICECHANGE", wParam);
        // The restart waits for the notice to be answered: the sender waits.
        if (recover && wParam == DBT_DEVNODES_CHANGED)
            PostMessageA(hwnd, kRestart, 0, 0);
        return TRUE;
    case WM_POWERBROADCAST:
        Notice("WM_POWERBROADCAST", wParam);
        if (recover && wParam == PBT_APMRESUMEAUTOMATIC)
            PostMessageA(hwnd, kRestart, 0, 0);
        return TRUE;
    case kRestart: {
        uninit();
        HRESULT hr = init(hwnd, iniPath);
        printf("restart 0x%08lX\n", static_cast<unsigned long>(hr));
        fflush(stdout);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kTimer && (GetFileAttributesA(stopFile) != INVALID_FILE_ATTRIBUTES ||
                                 static_cast<LONG>(GetTickCount() - deadline) >= 0))
            PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

int main(int argc, char** argv)
{
    const char* mode = argc == 6 ? argv[5] : "";
    if ((argc != 5 && argc != 6) || (argc == 6 && strcmp(mode, "notices") && strcmp(mode, "recover"))) {
        fprintf(stderr, "usage: sim-window-host DLL INI STOPFILE SECONDS [notices|recover]\n");
        return 2;
    }
    stopFile = argv[3];
    deadline = GetTickCount() + static_cast<DWORD>(atoi(argv[4])) * 1000;
    recover = strcmp(mode, "recover") == 0;
    const bool topLevel = argc == 6;
    // The library wants an absolute INI path.
    char ini[MAX_PATH];
    if (!GetFullPathNameA(argv[2], MAX_PATH, ini, nullptr))
        return 2;
    iniPath = ini;

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HMODULE dll = LoadLibraryA(argv[1]);
    init = reinterpret_cast<PFN_InitRemoteControl>(
        reinterpret_cast<void*>(dll ? GetProcAddress(dll, "InitRemoteControl") : nullptr));
    uninit = reinterpret_cast<PFN_UnInitRemoteControl>(
        reinterpret_cast<void*>(dll ? GetProcAddress(dll, "UnInitRemoteControl") : nullptr));
    if (!init || !uninit) {
        fprintf(stderr, "cannot load %s\n", argv[1]);
        return 2;
    }

    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "SimWindowHost";
    RegisterClassA(&wc);
    // Never shown: hidden windows get the broadcasts all the same.
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "", topLevel ? WS_OVERLAPPEDWINDOW : 0, 0, 0,
                                0, 0, topLevel ? nullptr : HWND_MESSAGE, nullptr, wc.hInstance,
                                nullptr);
    if (!hwnd) {
        fprintf(stderr, "cannot create the window (error %lu)\n", GetLastError());
        return 2;
    }

    HRESULT hr = init(hwnd, ini);
    printf("init 0x%08lX\n", static_cast<unsigned long>(hr));
    fflush(stdout);
    int code = 1;
    // A recovering host waits for its tuner.
    if (SUCCEEDED(hr) || recover) {
        SetTimer(hwnd, kTimer, 50, nullptr);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
        hr = uninit();
        // Keys posted before the stop still count.
        while (PeekMessageA(&msg, hwnd, WM_REMOTE_CODE, WM_REMOTE_CODE, PM_REMOVE))
            DispatchMessageA(&msg);
        printf("uninit 0x%08lX\n", static_cast<unsigned long>(hr));
        code = 0;
    }
    DestroyWindow(hwnd);
    FreeLibrary(dll);
    CoUninitialize();
    return code;
}
