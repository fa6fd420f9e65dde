// The program that halyard-keys types into in the end-to-end test: a window
// that keeps itself in the foreground and logs the keys it receives, with
// the modifiers held at the time. Also the test's small helper commands.
//   keys-target --log FILE [--seconds N] [--watch] [--class NAME]  the window
//       (of class HalyardKeysTarget, or NAME); with --watch it takes the
//       foreground once and never back, logging each change of it and of
//       the focus instead: a window that steals them shows. It logs each
//       key down with the modifiers held, each key up and each character
//       (WM_CHAR, a UTF-16 unit: char 0xFC)
//   keys-target --touch FILE              creates FILE (a run: command)
//   keys-target --close CLASS             posts WM_CLOSE to a window of CLASS
//   keys-target --exists CLASS            exits 0 when there is a window of CLASS
//   keys-target --keys-state              prints halyard-keys' state: listening,
//       paused, waiting, failed or aside (another program reads the tuner)
//   keys-target --command ID              what halyard-keys' menu item ID does
//   keys-target --down VK...              prints the keys of those (hex) that are
//       down, as the system's key state says (GetAsyncKeyState); "none"
//   keys-target --minimize CLASS          minimizes a window of CLASS
//   keys-target --iconic CLASS            exits 0 when a window of CLASS is minimized
//   and the pointer's commands (PointerCommands.h). The window also logs
//   the mouse's buttons and wheel at the pointer's screen position:
//   "lbuttondown 200 180", "lbuttondblclk 200 180", "wheel -120".

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "PointerCommands.h"

namespace {

const char kClassName[] = "HalyardKeysTarget";
const UINT_PTR kForegroundTimer = 1;
const UINT_PTR kEndTimer = 2;
FILE* logFile = nullptr;
bool watch = false;

bool Down(int vk)
{
    return (GetKeyState(vk) & 0x8000) != 0;
}

void Log(const char* format, unsigned value)
{
    fprintf(logFile, format, value);
    fputc('\n', logFile);
    fflush(logFile);
}

// Whether this process runs as administrator (the keys-target-admin build).
int Elevated()
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return -1;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    BOOL ok = GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size);
    CloseHandle(token);
    return ok ? static_cast<int>(elevation.TokenIsElevated != 0) : -1;
}

void LogButton(HWND hwnd, const char* what, LPARAM lParam)
{
    POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(hwnd, &at);
    fprintf(logFile, "%s %ld %ld\n", what, at.x, at.y);
    fflush(logFile);
}

void LogChanges(HWND hwnd)
{
    static bool hadForeground = true, hadFocus = true;
    bool foreground = GetForegroundWindow() == hwnd, focus = GetFocus() == hwnd;
    if (foreground != hadForeground || focus != hadFocus) {
        fprintf(logFile, "foreground=%d focus=%d\n", foreground, focus);
        fflush(logFile);
    }
    hadForeground = foreground;
    hadFocus = focus;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        fprintf(logFile, "keydown 0x%02X ctrl=%d shift=%d alt=%d\n",
                static_cast<unsigned>(wParam), Down(VK_CONTROL), Down(VK_SHIFT), Down(VK_MENU));
        fflush(logFile);
        break; // on to DefWindowProc, which makes WM_APPCOMMAND of media keys
    case WM_KEYUP:
    case WM_SYSKEYUP:
        Log("keyup 0x%02X", static_cast<unsigned>(wParam));
        break;
    case WM_CHAR:
        Log("char 0x%02X", static_cast<unsigned>(wParam));
        return 0;
    case WM_LBUTTONDOWN: LogButton(hwnd, "lbuttondown", lParam); return 0;
    case WM_LBUTTONUP: LogButton(hwnd, "lbuttonup", lParam); return 0;
    case WM_LBUTTONDBLCLK: LogButton(hwnd, "lbuttondblclk", lParam); return 0;
    case WM_RBUTTONDOWN: LogButton(hwnd, "rbuttondown", lParam); return 0;
    case WM_RBUTTONUP: LogButton(hwnd, "rbuttonup", lParam); return 0;
    case WM_MBUTTONDOWN: LogButton(hwnd, "mbuttondown", lParam); return 0;
    case WM_MOUSEWHEEL:
        fprintf(logFile, "wheel %d\n", GET_WHEEL_DELTA_WPARAM(wParam));
        fflush(logFile);
        return 0;
    case WM_APPCOMMAND:
        Log("appcommand %u", GET_APPCOMMAND_LPARAM(lParam));
        return TRUE;
    case WM_TIMER:
        if (wParam == kEndTimer)
            DestroyWindow(hwnd);
        else if (watch)
            LogChanges(hwnd);
        else if (GetForegroundWindow() != hwnd)
            SetForegroundWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

int RunWindow(const char* logPath, unsigned seconds, const char* className)
{
    logFile = fopen(logPath, "w");
    if (!logFile)
        return 2;
    // A Unicode window: its WM_CHAR carries UTF-16 units, surrogates too.
    std::wstring wideClass(className, className + strlen(className));
    WNDCLASSW wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = wideClass.c_str();
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, wideClass.c_str(), L"keys target", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                100, 100, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd)
        return 2;
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    SetTimer(hwnd, kForegroundTimer, watch ? 20 : 200, nullptr);
    SetTimer(hwnd, kEndTimer, seconds * 1000, nullptr);
    fprintf(logFile, "ready foreground=%d focus=%d elevated=%d\n", GetForegroundWindow() == hwnd,
            GetFocus() == hwnd, Elevated());
    fflush(logFile);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    Log("closed %u", 1);
    fclose(logFile);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && strcmp(argv[1], "--log") == 0) {
        unsigned seconds = 120;
        const char* className = kClassName;
        for (int i = 3; i < argc; ++i) {
            if (strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
                seconds = atoi(argv[++i]);
            else if (strcmp(argv[i], "--class") == 0 && i + 1 < argc)
                className = argv[++i];
            else if (strcmp(argv[i], "--watch") == 0)
                watch = true;
        }
        return RunWindow(argv[2], seconds, className);
    }
    if (argc == 3 && strcmp(argv[1], "--command") == 0) {
        HWND window = FindWindowA("HalyardKeysWindow", nullptr);
        return window && PostMessageA(window, WM_COMMAND, strtoul(argv[2], nullptr, 0), 0) ? 0
                                                                                           : 1;
    }
    if (argc >= 3 && strcmp(argv[1], "--down") == 0) {
        bool any = false;
        for (int i = 2; i < argc; ++i) {
            unsigned long vk = strtoul(argv[i], nullptr, 16);
            if (GetAsyncKeyState(static_cast<int>(vk)) & 0x8000) {
                printf("0x%02lX\n", vk);
                any = true;
            }
        }
        if (!any)
            puts("none");
        return 0;
    }
    if (argc == 3 && strcmp(argv[1], "--iconic") == 0) {
        HWND window = FindWindowA(argv[2], nullptr);
        return window && IsIconic(window) ? 0 : 1;
    }
    if (argc == 3 && strcmp(argv[1], "--minimize") == 0) {
        HWND window = FindWindowA(argv[2], nullptr);
        return window ? (ShowWindow(window, SW_MINIMIZE), 0) : 1;
    }
    if (argc == 4 && strcmp(argv[1], "--cursor") == 0)
        return CursorCommand(atoi(argv[2]), atoi(argv[3]));
    if (argc == 4 && strcmp(argv[1], "--cursor-log") == 0)
        return CursorLogCommand(argv[2], static_cast<unsigned>(atoi(argv[3])));
    if (argc == 3 && strcmp(argv[1], "--text") == 0)
        return TextCommand(argv[2]);
    if (argc == 3 && strcmp(argv[1], "--limited") == 0)
        return LimitedCommand(argv[2]);
    if (argc == 3 && strcmp(argv[1], "--touch") == 0) {
        FILE* file = fopen(argv[2], "w");
        return file && fclose(file) == 0 ? 0 : 1;
    }
    if (argc == 3 && strcmp(argv[1], "--close") == 0) {
        HWND window = FindWindowA(argv[2], nullptr);
        return window && PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (argc == 3 && strcmp(argv[1], "--exists") == 0)
        return FindWindowA(argv[2], nullptr) ? 0 : 1;
    if (argc == 2 && strcmp(argv[1], "--keys-state") == 0) {
        // The order of halyard-keys' MenuState::Mode.
        const char* const states[] = {"listening", "paused", "waiting", "failed", "aside"};
        HWND window = FindWindowA("HalyardKeysWindow", nullptr);
        DWORD_PTR state = 0;
        if (!window || !SendMessageTimeoutA(window, RegisterWindowMessageA("HalyardKeys.State"), 0,
                                            0, SMTO_ABORTIFHUNG, 5000, &state) ||
            state >= sizeof(states) / sizeof(states[0]))
            return 1;
        puts(states[state]);
        return 0;
    }
    fprintf(stderr, "usage: keys-target --log FILE [--seconds N] [--watch] [--class NAME] | "
                    "--touch FILE | --close CLASS | --exists CLASS | --keys-state | --command ID | "
                    "--down VK... | --minimize CLASS | --iconic CLASS | --cursor X Y | "
                    "--cursor-log FILE MS | --text CLASS | --limited COMMAND\n");
    return 2;
}
