/*
 * dynamic-load: a console host that loads Halyard.dll at run time with
 * LoadLibrary and GetProcAddress, so it needs no import library and runs on
 * without the remote control when the DLL is missing. It prints each key for
 * the given number of seconds (default 10).
 *
 *     dynamic-load [SECONDS]
 *
 * Halyard.dll and halyard.ini are taken from the program's own folder, never
 * from the current directory. Exit codes: 0 ok, 1 the library could not be
 * loaded or lacks an export, 2 a call failed (its HRESULT is printed).
 */
#include <windows.h>
#include <objbase.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "halyard.h"

/* name beside the program, as an absolute path. */
static BOOL BesideProgram(const char* name, char* path, DWORD size)
{
    DWORD length = GetModuleFileNameA(NULL, path, size);
    char* slash;
    if (length == 0 || length >= size)
        return FALSE;
    slash = strrchr(path, '\\');
    if (!slash || (size_t)(slash + 1 - path) + strlen(name) + 1 > size)
        return FALSE;
    strcpy(slash + 1, name);
    return TRUE;
}

static LRESULT CALLBACK KeyWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_REMOTE_CODE) {
        printf("key 0x%02X (%u)\n", (unsigned)lParam, (unsigned)lParam);
        fflush(stdout);
        return 0;
    }
    if (message == WM_TIMER) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

/* A message-only window: it receives posted messages and is never shown. */
static HWND CreateKeyWindow(void)
{
    WNDCLASSA windowClass = {0};
    windowClass.lpfnWndProc = KeyWindowProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "HalyardDynamicLoad";
    if (!RegisterClassA(&windowClass))
        return NULL;
    return CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL,
                           windowClass.hInstance, NULL);
}

static int Fail(const char* call, HRESULT hr)
{
    fprintf(stderr, "dynamic-load: %s failed with 0x%08lX%s\n", call, (unsigned long)hr,
            hr == E_FAIL ? " (no QBOX tuner found)" : "");
    return 2;
}

int main(int argc, char** argv)
{
    int seconds = argc > 1 ? atoi(argv[1]) : 10;
    char dllPath[MAX_PATH];
    char iniPath[MAX_PATH];
    HWND hwnd;
    MSG msg;
    int status = 0;
    if (!BesideProgram("Halyard.dll", dllPath, MAX_PATH) ||
        !BesideProgram("halyard.ini", iniPath, MAX_PATH)) {
        fprintf(stderr, "dynamic-load: the program's path is too long\n");
        return 1;
    }

    /* [readme] load */
    CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    HMODULE dll = LoadLibraryExA(dllPath, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
    /* Through void (*)(void), which GCC's -Wcast-function-type accepts. */
    PFN_InitRemoteControl init = dll ? (PFN_InitRemoteControl)(void (*)(void))
        GetProcAddress(dll, "InitRemoteControl") : NULL;
    PFN_UnInitRemoteControl uninit = dll ? (PFN_UnInitRemoteControl)(void (*)(void))
        GetProcAddress(dll, "UnInitRemoteControl") : NULL;
    /* [readme] end */
    if (!init || !uninit) {
        fprintf(stderr, "dynamic-load: cannot load %s or its exports (error %lu)\n", dllPath,
                GetLastError());
        if (dll)
            FreeLibrary(dll);
        CoUninitialize();
        return 1;
    }

    hwnd = CreateKeyWindow();
    if (!hwnd) {
        status = Fail("CreateWindowExA", HRESULT_FROM_WIN32(GetLastError()));
    } else {
        /* [readme] run */
        HRESULT hr = init(hwnd, iniPath);   /* an absolute INI path */
        if (SUCCEEDED(hr)) {
            /* ... keys arrive as WM_REMOTE_CODE while messages are dispatched ... */
            SetTimer(hwnd, 1, (UINT)(seconds > 0 ? seconds : 1) * 1000, NULL);
            while (GetMessageA(&msg, NULL, 0, 0) > 0)
                DispatchMessageA(&msg);
            uninit();                       /* always before FreeLibrary */
        }
        /* [readme] end */
        if (FAILED(hr))
            status = Fail("InitRemoteControl", hr);
        DestroyWindow(hwnd);
    }
    FreeLibrary(dll);
    CoUninitialize();
    return status;
}
