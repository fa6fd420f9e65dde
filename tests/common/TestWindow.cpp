#include "TestWindow.h"

#include <stdlib.h>

#include "halyard.h"

namespace {
const char kClassName[] = "HalyardTestWindow";
}

LONGLONG Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double ElapsedMs(LONGLONG from, LONGLONG to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (to - from) * 1000.0 / frequency.QuadPart;
}

DWORD Scaled(DWORD ms)
{
    const char* scale = getenv("HALYARD_TIME_SCALE");
    double factor = scale ? atof(scale) : 1.0;
    return factor > 1.0 ? static_cast<DWORD>(ms * factor) : ms;
}

TestWindow::TestWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc); // fails harmlessly when already registered
    hwnd_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            wc.hInstance, this);
}

TestWindow::~TestWindow()
{
    if (hwnd_)
        DestroyWindow(hwnd_);
}

LRESULT CALLBACK TestWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (msg == WM_REMOTE_CODE) {
        auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self)
            self->received_.push_back({wParam, lParam, Now()});
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void TestWindow::Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

bool TestWindow::WaitFor(size_t count, DWORD ms)
{
    DWORD start = GetTickCount();
    while (received_.size() < count) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return false;
        Pump(ms - elapsed < 10 ? ms - elapsed : 10);
    }
    return true;
}
