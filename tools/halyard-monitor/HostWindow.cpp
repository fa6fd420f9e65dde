#include "HostWindow.h"

#include <new>

#include "halyard.h"

namespace {

const char kClassName[] = "HalyardMonitorWindow";
const UINT kStopMessage = WM_APP + 1;
const UINT kTraceMessage = WM_APP + 2; // lParam: a std::string* to take over
const UINT_PTR kTickTimer = 1;
const UINT kTickMs = 50;

} // namespace

HostWindow::HostWindow(Callbacks callbacks) : callbacks_(std::move(callbacks))
{
}

HostWindow::~HostWindow()
{
    if (!hwnd_)
        return;
    // Trace lines still queued own their text.
    MSG msg;
    while (PeekMessageA(&msg, hwnd_, kTraceMessage, kTraceMessage, PM_REMOVE))
        delete reinterpret_cast<std::string*>(msg.lParam);
    DestroyWindow(hwnd_);
}

bool HostWindow::Create()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    hwnd_ = CreateWindowExA(0, kClassName, "halyard-monitor", 0, 0, 0, 0, 0, HWND_MESSAGE,
                            nullptr, wc.hInstance, this);
    return hwnd_ != nullptr;
}

void HostWindow::Run()
{
    SetTimer(hwnd_, kTickTimer, kTickMs, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    KillTimer(hwnd_, kTickTimer);
}

void HostWindow::DispatchPending()
{
    MSG msg;
    while (PeekMessageA(&msg, hwnd_, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_TIMER || msg.message == kStopMessage)
            continue;
        DispatchMessageA(&msg);
    }
}

void HostWindow::RequestStop()
{
    PostMessageA(hwnd_, kStopMessage, 0, 0);
}

void HostWindow::PostTrace(const char* text, size_t length)
{
    auto* line = new (std::nothrow) std::string(text, length);
    if (line && !PostMessageA(hwnd_, kTraceMessage, 0, reinterpret_cast<LPARAM>(line)))
        delete line;
}

LRESULT CALLBACK HostWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self)
        return self->Handle(hwnd, msg, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT HostWindow::Handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_REMOTE_CODE:
        if (callbacks_.onKey)
            callbacks_.onKey(lParam);
        return 0;
    case kTraceMessage: {
        auto* line = reinterpret_cast<std::string*>(lParam);
        if (callbacks_.onTrace)
            callbacks_.onTrace(*line);
        delete line;
        return 0;
    }
    case WM_TIMER:
        if (wParam == kTickTimer && callbacks_.onTick && !callbacks_.onTick())
            PostQuitMessage(0);
        return 0;
    case kStopMessage:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
