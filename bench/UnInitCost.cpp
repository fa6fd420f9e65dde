#include "UnInitCost.h"

#include <algorithm>
#include <vector>

#include "Clock.h"
#include "SimTuner.h"

namespace bench {

namespace {

DWORD WINAPI BareWaiter(LPVOID event)
{
    // The monitor's loop without the device: a timed wait on the exit event.
    while (WaitForSingleObject(static_cast<HANDLE>(event), 250) != WAIT_OBJECT_0) {
    }
    return 0;
}

} // namespace

// UnInitRemoteControl with the monitor idle in its wait, beside the floor of
// stopping a bare thread the same way.
void MeasureUninitIdle(Library& lib, Host& host, int samples, UnInitFigures& f,
                       RunErrors& errors)
{
    simtuner::Simulation sim;
    if (FAILED(sim.Install()))
        return Fail(errors, "simulation install");
    IniFile ini("[Custom]\r\nMaskCode=0\r\n");
    std::vector<double> idle, floor;
    for (int i = 0; i < samples; ++i) {
        if (lib.init(host.hwnd(), ini.path()) != S_OK)
            return Fail(errors, "InitRemoteControl (uninit idle)");
        host.Pump(260 + Uniform(0, 200)); // at least one poll done, no read running
        LONGLONG start = Qpc();
        HRESULT hr = lib.uninit();
        LONGLONG end = Qpc();
        if (hr != S_OK)
            return Fail(errors, "UnInitRemoteControl (idle)");
        idle.push_back(Ms(start, end));

        HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        HANDLE thread = CreateThread(nullptr, 0, BareWaiter, event, 0, nullptr);
        host.Pump(30);
        start = Qpc();
        SetEvent(event);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        CloseHandle(event);
        end = Qpc();
        floor.push_back(Ms(start, end));
    }
    f.idleMs = Summarise(idle);
    f.floorMs = Summarise(floor);
}

// UnInitRemoteControl while a slow read (200 ms) is in progress, about 100 ms
// into it: the read finishes and delivers before the call returns.
void MeasureUninitBusy(Library& lib, Host& host, int samples, UnInitFigures& f,
                       RunErrors& errors)
{
    simtuner::Simulation sim;
    if (FAILED(sim.Install()))
        return Fail(errors, "simulation install");
    IniFile ini("[Custom]\r\nMaskCode=0\r\n");
    const DWORD kReadMs = 200;
    sim.SetGetDelay(kReadMs);
    std::vector<double> busy, afterRead, readLeft;
    for (int i = 0; i < samples; ++i) {
        sim.ClearGetCalls();
        if (lib.init(host.hwnd(), ini.path()) != S_OK)
            return Fail(errors, "InitRemoteControl (uninit busy)");
        // The first read returns 250 + 200 ms after the start; the second
        // starts 250 ms after that.
        LONGLONG deadline = Qpc() + static_cast<LONGLONG>(2000 * TicksPerMs());
        while (sim.GetCallCount() == 0 && Qpc() < deadline)
            host.Pump(1);
        std::vector<simtuner::GetRecord> calls = sim.GetCalls();
        if (calls.empty())
            return Fail(errors, "no read (uninit busy)");
        double sinceRead = Ms(calls[0].returnedAt, Qpc());
        host.Pump(std::max(0.0, 250 + kReadMs / 2.0 - sinceRead));
        LONGLONG start = Qpc();
        HRESULT hr = lib.uninit();
        LONGLONG end = Qpc();
        if (hr != S_OK)
            return Fail(errors, "UnInitRemoteControl (busy)");
        calls = sim.GetCalls();
        busy.push_back(Ms(start, end));
        if (calls.size() == 2) {
            readLeft.push_back(Ms(start, calls[1].returnedAt));
            afterRead.push_back(Ms(calls[1].returnedAt, end));
        }
        host.Pump(10);
    }
    sim.SetGetDelay(0);
    f.busyMs = Summarise(busy);
    f.busyAfterReadMs = Summarise(afterRead);
    f.busyReadLeftMs = Summarise(readLeft).median;
}

} // namespace bench
