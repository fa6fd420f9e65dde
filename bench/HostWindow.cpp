#include "HostWindow.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "Clock.h"
#include "halyard.h"

namespace bench {

namespace {

// Reserved up front: the window procedure must not allocate while timed.
std::vector<Arrival> arrivals;

LRESULT CALLBACK HostWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_REMOTE_CODE) {
        LONGLONG at = Qpc();
        arrivals.push_back({lParam, at});
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

Host::Host()
{
    arrivals.reserve(100000);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "HalyardBenchHost";
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            wc.hInstance, nullptr);
}

Host::~Host()
{
    DestroyWindow(hwnd_);
}

size_t Host::count() const
{
    return arrivals.size();
}

const Arrival& Host::last() const
{
    return arrivals.back();
}

void Host::Pump(double ms)
{
    Run(SIZE_MAX, ms);
}

bool Host::WaitFor(size_t count, double ms)
{
    return Run(count, ms);
}

bool Host::Run(size_t count, double ms)
{
    LONGLONG deadline = Qpc() + static_cast<LONGLONG>(ms * TicksPerMs());
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (arrivals.size() >= count)
            return true;
        LONGLONG now = Qpc();
        if (now >= deadline)
            return false;
        DWORD wait = static_cast<DWORD>(std::ceil(Ms(now, deadline)));
        MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

} // namespace bench
