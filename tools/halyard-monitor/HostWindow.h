#pragma once

#include <windows.h>

#include <functional>
#include <string>

// A message-only window that receives WM_REMOTE_CODE on the thread that
// created it, plus trace lines and a stop request handed over from other
// threads. Run dispatches until Stop is requested.
class HostWindow {
public:
    struct Callbacks {
        std::function<void(LPARAM key)> onKey;
        std::function<void(const std::string& line)> onTrace;
        // Called about every 50 ms while running; returns false to stop.
        std::function<bool()> onTick;
    };

    explicit HostWindow(Callbacks callbacks);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // False when the window could not be created (GetLastError tells why).
    bool Create();
    HWND hwnd() const { return hwnd_; }

    // Dispatches messages until RequestStop or onTick returning false.
    void Run();

    // Safe from any thread.
    void RequestStop();
    // Hands a trace line to the window's thread; safe from any thread, also
    // from a vectored exception handler.
    void PostTrace(const char* text, size_t length);

    // Delivers queued trace lines and keys, without waiting.
    void DispatchPending();

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    Callbacks callbacks_;
    HWND hwnd_ = nullptr;
};
