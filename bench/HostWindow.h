#pragma once

// The host: a message-only window on the benchmark's thread that records when
// each WM_REMOTE_CODE arrives. Between messages the thread sleeps in
// MsgWaitForMultipleObjectsEx, as an idle GUI thread does.

#include <windows.h>

#include <cstddef>

namespace bench {

struct Arrival {
    LPARAM key;
    LONGLONG at; // QueryPerformanceCounter in the window procedure
};

class Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    HWND hwnd() const { return hwnd_; }
    size_t count() const;        // messages arrived so far
    const Arrival& last() const; // the latest of them

    // Dispatches for ms milliseconds.
    void Pump(double ms);
    // Dispatches until count messages have arrived in all; false on timeout.
    bool WaitFor(size_t count, double ms);

private:
    bool Run(size_t count, double ms);
    HWND hwnd_ = nullptr;
};

} // namespace bench
