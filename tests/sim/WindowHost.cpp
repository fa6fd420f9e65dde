// A plain host of Halyard.dll, written as any application would be and
// knowing nothing of a simulation: it loads the DLL it is given, starts the
// remote control for a message-only window and prints what arrives.
//
//   sim-window-host DLL INI STOPFILE SECONDS
//
// Prints "init 0x........", one "key 0x.." line per WM_REMOTE_CODE, then
// "uninit 0x........". Runs until STOPFILE exists or SECONDS have passed;
// exits 1 when InitRemoteControl fails, 2 on a usage or load error.

#include <windows.h>

#include <objbase.h>
#include <stdio.h>
#include <stdlib.h>

#include "halyard.h"

namespace {

const UINT_PTR kTimer = 1;
const char* stopFile = nullptr;
DWORD deadline = 0;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_REMOTE_CODE) {
        printf("key 0x%02X\n", static_cast<unsigned>(lParam));
        fflush(stdout);
        return 0;
    }
    if (msg == WM_TIMER && wParam == kTimer) {
        if (GetFileAttributesA(stopFile) != INVALID_FILE_ATTRIBUTES ||
            static_cast<LONG>(GetTickCount() - deadline) >= 0)
            PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        fprintf(stderr, "usage: sim-window-host DLL INI STOPFILE SECONDS\n");
        return 2;
    }
    stopFile = argv[3];
    deadline = GetTickCount() + static_cast<DWORD>(atoi(argv[4])) * 1000;
    // The library wants an absolute INI path.
    char ini[MAX_PATH];
    if (!GetFullPathNameA(argv[2], MAX_PATH, ini, nullptr))
        return 2;

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HMODULE dll = LoadLibraryA(argv[1]);
    auto init = reinterpret_cast<PFN_InitRemoteControl>(
        reinterpret_cast<void*>(dll ? GetProcAddress(dll, "InitRemoteControl") : nullptr));
    auto uninit = reinterpret_cast<PFN_UnInitRemoteControl>(
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
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                wc.hInstance, nullptr);

    HRESULT hr = init(hwnd, ini);
    printf("init 0x%08lX\n", static_cast<unsigned long>(hr));
    fflush(stdout);
    int code = 1;
    if (SUCCEEDED(hr)) {
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
