#include "SingleInstance.h"

namespace {

const char kMutexName[] = "Local\\HalyardKeys.SingleInstance";
const DWORD kFindIntervalMs = 100;

} // namespace

SingleInstance::~SingleInstance()
{
    if (mutex_)
        CloseHandle(mutex_);
}

bool SingleInstance::Acquire()
{
    mutex_ = CreateMutexA(nullptr, FALSE, kMutexName);
    // Without a mutex at all, running is better than refusing to.
    return !mutex_ || GetLastError() != ERROR_ALREADY_EXISTS;
}

bool SingleInstance::ShowFirst(const char* windowClass, UINT showMessage, DWORD waitMs)
{
    for (DWORD waited = 0;; waited += kFindIntervalMs) {
        if (HWND first = FindWindowA(windowClass, nullptr)) {
            // This process was just started by the user and may hand on the
            // right to come to the foreground, which the menu needs.
            DWORD processId = 0;
            GetWindowThreadProcessId(first, &processId);
            AllowSetForegroundWindow(processId);
            return PostMessageA(first, showMessage, 0, 0) != 0;
        }
        if (waited >= waitMs)
            return false;
        Sleep(kFindIntervalMs);
    }
}
