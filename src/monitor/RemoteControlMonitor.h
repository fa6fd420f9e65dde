#pragma once

#include <windows.h>

#include <new>

#include "halyard.h"

// A remote-control source: the device-independent half. Start and Stop run on
// the host's thread; RunMonitor runs on the monitor thread, which polls the
// device every pollIntervalMs and posts each key code to sinkWindow.
class RemoteControlMonitor {
public:
    RemoteControlMonitor();
    // Releases nothing: Stop must have run before.
    virtual ~RemoteControlMonitor();

    virtual int RunMonitor();
    virtual HRESULT OpenDevice() = 0;
    virtual HRESULT CloseDevice() = 0;
    virtual HRESULT ReadRemoteCode(unsigned int* keyCode) = 0;

    HRESULT Start(HWND sink, const char* path);
    HRESULT Stop();

    // Monitors live on the process heap, never on libstdc++'s allocator.
    static void* operator new(size_t size, const std::nothrow_t&) noexcept;
    static void operator delete(void* p) noexcept;

protected:
    HWND sinkWindow;
    char iniPath[MAX_PATH];
    HANDLE monitorThread;
    HANDLE exitEvent;
    DWORD pollIntervalMs;
};

DWORD WINAPI MonitorThreadProc(LPVOID param);
