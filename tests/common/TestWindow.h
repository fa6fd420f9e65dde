#pragma once

#include <windows.h>

#include <vector>

// A message-only window that records every WM_REMOTE_CODE posted to it. It
// belongs to the thread that created it; Pump runs that thread's queue.
class TestWindow {
public:
    struct Received {
        WPARAM wParam;
        LPARAM lParam;
        LONGLONG at; // QueryPerformanceCounter on arrival
    };

    TestWindow();
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    // Dispatches messages for ms milliseconds.
    void Pump(DWORD ms);
    // Dispatches until count codes have arrived or ms ran out; true if they did.
    bool WaitFor(size_t count, DWORD ms);
    const std::vector<Received>& received() const { return received_; }

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    HWND hwnd_ = nullptr;
    std::vector<Received> received_;
};

// Milliseconds between two QueryPerformanceCounter readings.
double ElapsedMs(LONGLONG from, LONGLONG to);
LONGLONG Now();

// Time budgets (waits and timeouts, never asserted bounds) are multiplied by
// HALYARD_TIME_SCALE, for slow emulated runs.
DWORD Scaled(DWORD ms);
