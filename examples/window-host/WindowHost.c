/*
 * window-host: a complete small Win32 host of Halyard.dll. Its window shows
 * the last key of the tuner's remote control and how many have arrived.
 *
 * Build it against the unpacked Halyard package (see CMakeLists.txt):
 *
 *     cmake -S . -B build -DCMAKE_PREFIX_PATH=C:/path/to/Halyard-1.0.0-win32
 *     cmake --build build
 *
 * Halyard.dll is copied beside the program. The settings are read from
 * halyard.ini beside it; without that file the keys of every remote control
 * are accepted.
 *
 * The remote keeps working through sleep and a replugged tuner: the window
 * restarts the library when Windows says the devices changed or the
 * computer woke up, and retries while no tuner is found.
 */
#include <windows.h>
#include <dbt.h>
#include <objbase.h>
#include <stdio.h>

#include "halyard.h"

static const char kClassName[] = "HalyardWindowHost";
static const char kTitle[] = "Halyard window host";

enum {
    kRestartTimer = 1,
    kSettleMs = 1000, /* one restart for all the notices of one replug */
    kRetryMs = 5000   /* while no tuner is found */
};

static struct {
    BOOL started;       /* InitRemoteControl succeeded */
    HRESULT startResult;
    unsigned keys;      /* keys received so far */
    unsigned lastKey;
} host;

/* The INI file beside the program. The library needs an absolute path: a
 * relative one is looked up in the Windows folder. */
static BOOL IniBesideProgram(char* path, DWORD size)
{
    DWORD length = GetModuleFileNameA(NULL, path, size);
    char* slash;
    if (length == 0 || length >= size)
        return FALSE;
    slash = strrchr(path, '\\');
    if (!slash || (size_t)(slash + 1 - path) + sizeof("halyard.ini") > size)
        return FALSE;
    strcpy(slash + 1, "halyard.ini");
    return TRUE;
}

static void ShowFailure(HWND hwnd, const char* call, HRESULT hr)
{
    char reason[256] = "";
    char text[512];
    if (hr == E_FAIL)
        lstrcpynA(reason, "No QBOX tuner was found.", sizeof(reason));
    else
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                       (DWORD)hr, 0, reason, sizeof(reason), NULL);
    snprintf(text, sizeof(text), "%s failed with 0x%08lX.\n%s", call, (unsigned long)hr, reason);
    MessageBoxA(hwnd, text, kTitle, MB_OK | MB_ICONERROR);
}

static void StartRemoteControl(HWND hwnd)
{
    char ini[MAX_PATH];
    if (!IniBesideProgram(ini, sizeof(ini))) {
        ShowFailure(hwnd, "GetModuleFileNameA", HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
        return;
    }
    host.startResult = InitRemoteControl(hwnd, ini);
    host.started = SUCCEEDED(host.startResult);
    InvalidateRect(hwnd, NULL, TRUE);
    if (host.startResult == E_FAIL) /* no tuner, or not yet */
        SetTimer(hwnd, kRestartTimer, kRetryMs, NULL);
    else if (!host.started)
        ShowFailure(hwnd, "InitRemoteControl", host.startResult);
}

/* [readme] restart */
/* After sleep or a replug the tuner is a new device, and the library's
 * reads of the old one fail without a word: only a new start finds it. */
static void RestartRemoteControl(HWND hwnd)
{
    KillTimer(hwnd, kRestartTimer);
    if (host.started)
        UnInitRemoteControl();
    host.started = FALSE;
    StartRemoteControl(hwnd); /* sets the timer again while no tuner is found */
}
/* [readme] end */

static void OnRemoteKey(HWND hwnd, BYTE key)
{
    host.lastKey = key;
    host.keys++;
    InvalidateRect(hwnd, NULL, TRUE);
}

static void Paint(HWND hwnd)
{
    PAINTSTRUCT paint;
    RECT area;
    char text[128];
    HDC dc = BeginPaint(hwnd, &paint);
    if (!host.started && host.startResult == S_OK)
        snprintf(text, sizeof(text), "Starting the remote control...");
    else if (host.startResult == E_FAIL)
        snprintf(text, sizeof(text), "Waiting for the QBOX tuner...");
    else if (!host.started)
        snprintf(text, sizeof(text), "The remote control is not running (0x%08lX).",
                 (unsigned long)host.startResult);
    else if (host.keys == 0)
        snprintf(text, sizeof(text), "Press a key on the remote control.");
    else
        snprintf(text, sizeof(text), "Last key: 0x%02X (%u)\nKeys received: %u", host.lastKey,
                 host.lastKey, host.keys);
    GetClientRect(hwnd, &area);
    DrawTextA(dc, text, -1, &area, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
    EndPaint(hwnd, &paint);
}

static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    /* [readme] handle-key */
    case WM_REMOTE_CODE:                   /* 3042; wParam is 0 */
        OnRemoteKey(hwnd, (BYTE)lParam);   /* the key code, 0 to 255 */
        return 0;
    /* [readme] end */
    /* [readme] notices */
    case WM_POWERBROADCAST:                /* awake again: the tuner is new */
        if (wParam == PBT_APMRESUMEAUTOMATIC)
            SetTimer(hwnd, kRestartTimer, kSettleMs, NULL);
        return TRUE;
    case WM_DEVICECHANGE:                  /* a device came or went */
        if (wParam == DBT_DEVNODES_CHANGED)
            SetTimer(hwnd, kRestartTimer, kSettleMs, NULL); /* resets a set timer */
        return TRUE;
    case WM_TIMER:
        if (wParam == kRestartTimer)
            RestartRemoteControl(hwnd);
        return 0;
    /* [readme] end */
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_DESTROY:
        /* Stop before the window goes: no key is posted to it afterwards. */
        KillTimer(hwnd, kRestartTimer);
        if (host.started)
            UnInitRemoteControl();
        host.started = FALSE;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    WNDCLASSA windowClass = {0};
    HWND hwnd;
    MSG msg;
    /* The library uses the tuner from its own thread with the interface it
     * acquires on this one: COM must be initialised here first. */
    HRESULT hr = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    (void)previous;
    (void)commandLine;
    if (FAILED(hr)) {
        ShowFailure(NULL, "CoInitializeEx", hr);
        return 1;
    }

    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) {
        ShowFailure(NULL, "RegisterClassA", HRESULT_FROM_WIN32(GetLastError()));
        CoUninitialize();
        return 1;
    }
    hwnd = CreateWindowExA(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, 360, 160, NULL, NULL, instance, NULL);
    if (!hwnd) {
        ShowFailure(NULL, "CreateWindowExA", HRESULT_FROM_WIN32(GetLastError()));
        CoUninitialize();
        return 1;
    }
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    StartRemoteControl(hwnd);

    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    CoUninitialize();
    return (int)msg.wParam;
}
