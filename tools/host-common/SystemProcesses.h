#pragma once

#include <windows.h>

#include <map>

#include "ReaderWatch.h"

// The system's processes for ReaderWatch. A watched process's end is posted
// to window as message (wParam: its pid), from a thread-pool thread; with no
// window, ends are seen by the next Scan alone.
class SystemProcesses : public ProcessSource {
public:
    SystemProcesses(HWND window, UINT message);
    ~SystemProcesses() override;
    SystemProcesses(const SystemProcesses&) = delete;
    SystemProcesses& operator=(const SystemProcesses&) = delete;

    std::vector<DWORD> List() override;
    Read Modules(DWORD pid, ProcessModules* modules) override;
    bool StillLoaded(DWORD pid, ULONG_PTR base) override;
    void Watch(DWORD pid) override;
    void Unwatch(DWORD pid) override;

private:
    struct Waiting;
    static void CALLBACK OnEnded(void* context, BOOLEAN timedOut);

    HWND window_;
    UINT message_;
    std::map<DWORD, Waiting*> waits_;
};
