#include "RemoteControlMonitor.h"

#include "../diag/LogMessage.h"

namespace {

// The error of the call that just failed, before any clean-up can overwrite
// it. A failure that left no error code still must not read as success.
HRESULT LastErrorAsHResult()
{
    DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

} // namespace

RemoteControlMonitor::RemoteControlMonitor()
    : sinkWindow(nullptr), iniPath(), monitorThread(nullptr), exitEvent(nullptr),
      pollIntervalMs(250)
{
}

RemoteControlMonitor::~RemoteControlMonitor() = default;

void* RemoteControlMonitor::operator new(size_t size, const std::nothrow_t&) noexcept
{
    return HeapAlloc(GetProcessHeap(), 0, size);
}

void RemoteControlMonitor::operator delete(void* p) noexcept
{
    if (p)
        HeapFree(GetProcessHeap(), 0, p);
}

HRESULT RemoteControlMonitor::Start(HWND sink, const char* path)
{
    // A second Start would orphan the running thread and its handles.
    if (monitorThread)
        return HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED);

    sinkWindow = sink;
    lstrcpynA(iniPath, path ? path : "", MAX_PATH);

    HRESULT hr = OpenDevice();
    if (FAILED(hr)) {
        LogMessage(2, "Initialize remote ctrl failed!\n");
        return hr;
    }

    exitEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!exitEvent) {
        hr = LastErrorAsHResult();
        LogMessage(2, "Create exit event handle failed!\n");
        CloseDevice();
        return hr;
    }

    DWORD threadId;
    monitorThread = CreateThread(nullptr, 0, MonitorThreadProc, this, 0, &threadId);
    if (!monitorThread) {
        hr = LastErrorAsHResult();
        LogMessage(2, "Create monitor thread failed!\n");
        CloseDevice();
        CloseHandle(exitEvent);
        exitEvent = nullptr;
        return hr;
    }

    LogMessage(4, "Initialize remote control all done.\n");
    return S_OK;
}

HRESULT RemoteControlMonitor::Stop()
{
    if (!monitorThread)
        return S_FALSE;

    SetEvent(exitEvent);
    WaitForSingleObject(monitorThread, INFINITE);
    CloseHandle(monitorThread);
    monitorThread = nullptr;
    CloseHandle(exitEvent);
    exitEvent = nullptr;
    return CloseDevice();
}

int RemoteControlMonitor::RunMonitor()
{
    LogMessage(4, "Begin read remote code thread.\n");
    if (!sinkWindow) {
        LogMessage(3, "\tevent sink window handle is invalid!\n");
        return -1;
    }

    while (WaitForSingleObject(exitEvent, pollIntervalMs) != WAIT_OBJECT_0) {
        unsigned int keyCode = 0;
        if (SUCCEEDED(ReadRemoteCode(&keyCode))) {
            LogMessage(5, "\tRC Code: 0x%08X\n", keyCode);
            PostMessageA(sinkWindow, WM_REMOTE_CODE, 0, keyCode);
        }
    }

    LogMessage(4, "End read remote code thread.\n");
    return 0;
}

DWORD WINAPI MonitorThreadProc(LPVOID param)
{
    if (IsBadReadPtr(param, sizeof(RemoteControlMonitor)))
        return 0xFFFFFFFF;
    return static_cast<DWORD>(static_cast<RemoteControlMonitor*>(param)->RunMonitor());
}
