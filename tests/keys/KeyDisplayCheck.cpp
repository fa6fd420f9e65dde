// halyard-keys' on-screen display on an X server (run by display.sh under
// xvfb-run), shown from another process than the window in front
// (keys-target --watch), as halyard-keys shows it.
//   key-display-check --show       shows the display, checks it, prints each
//       check, exits 0 when all hold
//   key-display-check --show-for MS TEXT   shows TEXT for MS (for a picture)
// HALYARD_TIME_SCALE stretches the upper bounds of waits on slow runs.

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "KeyDisplay.h"

namespace {

const wchar_t kTargetClass[] = L"HalyardKeysTarget"; // keys-target's window
int failures = 0;

void Check(bool ok, const char* what)
{
    printf("%s: %s\n", ok ? "ok" : "FAIL", what);
    fflush(stdout);
    failures += !ok;
}

unsigned TimeScale()
{
    const char* scale = getenv("HALYARD_TIME_SCALE");
    int value = scale ? atoi(scale) : 1;
    return value >= 1 ? value : 1;
}

// Runs this thread's messages (the display's timer) for ms, or until
// untilHidden is hidden.
void Pump(DWORD ms, HWND untilHidden = nullptr)
{
    DWORD start = GetTickCount();
    while ((!untilHidden || IsWindowVisible(untilHidden)) && GetTickCount() - start < ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
}

struct HitTest {
    POINT at;
    HWND found;
};

DWORD WINAPI HitTestThread(void* param)
{
    auto* test = static_cast<HitTest*>(param);
    test->found = WindowFromPoint(test->at);
    return 0;
}

int Width(HWND hwnd)
{
    RECT rect;
    GetWindowRect(hwnd, &rect);
    return rect.right - rect.left;
}

int RunShow()
{
    // The product's second, stretched on slow runs as their other waits are.
    const DWORD second = KeyDisplay::kDefaultShowMs * TimeScale();
    const DWORD limit = 3 * second;
    HWND target = FindWindowW(kTargetClass, nullptr);
    Check(target && GetForegroundWindow() == target, "the target window is in front");

    KeyDisplay display(second);
    Check(!FindWindowW(KeyDisplay::kWindowClass, nullptr), "no display window before a key");
    Check(display.Show("Volume up"), "Show");
    DWORD shown = GetTickCount();
    HWND hwnd = FindWindowW(KeyDisplay::kWindowClass, nullptr);
    Check(hwnd && IsWindowVisible(hwnd), "the display is visible");

    LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    const LONG_PTR wanted = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE |
                            WS_EX_TRANSPARENT | WS_EX_LAYERED;
    Check((exStyle & wanted) == wanted, "topmost, tool window, no activation, click-through");
    Check(GetForegroundWindow() == target, "the target keeps the foreground");

    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(target, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    RECT rect;
    GetWindowRect(hwnd, &rect);
    printf("work area %ld,%ld-%ld,%ld; display %ld,%ld-%ld,%ld\n", work.left, work.top, work.right,
           work.bottom, rect.left, rect.top, rect.right, rect.bottom);
    Check(rect.left >= work.left && rect.right <= work.right && rect.bottom <= work.bottom &&
              rect.top >= work.top + (work.bottom - work.top) * 2 / 3,
          "in the bottom third of the work area");
    Check(abs((rect.left + rect.right) / 2 - (work.left + work.right) / 2) <= 1, "centred");
    // Asked from another thread, as a click elsewhere would be: the
    // display's own WM_NCHITTEST answers only its own thread.
    HitTest hit = {{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, nullptr};
    HANDLE thread = CreateThread(nullptr, 0, HitTestThread, &hit, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    Check(hit.found && hit.found != hwnd, "a click at its middle goes through it");

    // A keystroke while it shows reaches the window in front (logged there).
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_F7;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    Check(SendInput(2, keys, sizeof(INPUT)) == 2, "SendInput F7 while the display shows");

    int shortWidth = Width(hwnd);
    display.Show("Ctrl+Shift+P, then run: a much longer program name");
    Check(Width(hwnd) > shortWidth, "sized to its text");
    display.Show("Volume up");
    shown = GetTickCount();
    Check(Width(hwnd) == shortWidth, "sized to its text again");

    Pump(limit, hwnd);
    DWORD sinceShown = GetTickCount() - shown;
    printf("hidden %lu ms after Show\n", sinceShown);
    Check(!IsWindowVisible(hwnd), "hides again");
    Check(sinceShown >= second * 8 / 10 && sinceShown <= limit, "after about a second");

    // A key while it shows starts the second over.
    display.Show("Mute");
    DWORD first = GetTickCount();
    Pump(second * 6 / 10);
    Check(IsWindowVisible(hwnd), "still shown 0.6 s later");
    display.Show("Mute");
    DWORD again = GetTickCount();
    Pump(limit, hwnd);
    DWORD end = GetTickCount();
    printf("hidden %lu ms after the first Show, %lu after the second\n", end - first, end - again);
    Check(!IsWindowVisible(hwnd) && end - again >= second * 8 / 10,
          "the second Show restarts the time");

    Check(GetForegroundWindow() == target, "the target is still in front");
    display.Hide();
    return failures ? 1 : 0;
}

int RunShowFor(unsigned ms, const char* text)
{
    KeyDisplay display(ms);
    if (!display.Show(text))
        return 1;
    Pump(ms + 5000, FindWindowW(KeyDisplay::kWindowClass, nullptr));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && strcmp(argv[1], "--show") == 0)
        return RunShow();
    if (argc == 4 && strcmp(argv[1], "--show-for") == 0)
        return RunShowFor(atoi(argv[2]), argv[3]);
    fprintf(stderr, "usage: key-display-check --show | --show-for MS TEXT\n");
    return 2;
}
