#include "KeyLatency.h"

#include <atomic>
#include <string>
#include <vector>

#include "Clock.h"
#include "SimTuner.h"

namespace bench {

namespace {

const simtuner::Frame kNoCode = {0xFF, 0xFF, 0xFF, 0xFF};

// The floor of the per-key overhead: a plain thread that, once woken, writes
// one frame line to the debugger output and posts one message to the window.
struct FloorPoster {
    HWND target = nullptr;
    HANDLE go = nullptr;
    DWORD gapMs = 0;
    std::atomic<bool> stop{false};
    std::atomic<LONGLONG> startedAt{0};
    std::atomic<LONGLONG> tracedAt{0}; // OutputDebugStringA returned

    static DWORD WINAPI Run(LPVOID param)
    {
        auto* self = static_cast<FloorPoster*>(param);
        for (;;) {
            WaitForSingleObject(self->go, INFINITE);
            if (self->stop)
                return 0;
            Sleep(self->gapMs); // the host is asleep in its message wait by now
            LONGLONG start = Qpc();
            OutputDebugStringA("QBox remote code:0x40BF12ED!\n");
            LONGLONG traced = Qpc();
            PostMessageA(self->target, WM_REMOTE_CODE, 0, 0x12);
            self->tracedAt = traced;
            self->startedAt = start;
        }
    }
};

} // namespace

// Key latency and per-key overhead: a frame made available at a random moment
// of the poll cycle, until its message arrives in the window. The overhead is
// measured from the return of the driver's Get that carried the frame.
void MeasureKeys(Library& lib, Host& host, int presses, KeyFigures& f, RunErrors& errors)
{
    simtuner::Simulation sim;
    if (FAILED(sim.Install()))
        return Fail(errors, "simulation install");
    IniFile ini("[Custom]\r\nMaskCode=0x40BF\r\n");
    if (lib.init(host.hwnd(), ini.path()) != S_OK)
        return Fail(errors, "InitRemoteControl (keys)");

    std::vector<double> latency, overhead;
    host.Pump(300); // past the first poll
    for (int i = 0; i < presses; ++i) {
        host.Pump(Uniform(0, 250));
        sim.ClearGetCalls();
        size_t before = host.count();
        BYTE key = static_cast<BYTE>(i);
        LONGLONG pushed = Qpc();
        sim.PushFrame(simtuner::MakeFrame(0x40BF, key, static_cast<BYTE>(~key)));
        if (!host.WaitFor(before + 1, 2000) || host.last().key != key) {
            Fail(errors, "key " + std::to_string(i) + " not delivered");
            break;
        }
        latency.push_back(Ms(pushed, host.last().at));
        for (const simtuner::GetRecord& call : sim.GetCalls()) {
            if (call.frame != kNoCode)
                overhead.push_back(Us(call.returnedAt, host.last().at));
        }
    }
    lib.uninit();
    f.latencyMs = Summarise(latency);
    f.overheadUs = Summarise(overhead);
}

void MeasureOverheadFloor(Host& host, int samples, KeyFigures& f, RunErrors& errors)
{
    FloorPoster poster;
    poster.target = host.hwnd();
    poster.go = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    poster.gapMs = 100;
    HANDLE thread = CreateThread(nullptr, 0, FloorPoster::Run, &poster, 0, nullptr);
    std::vector<double> floor, trace;
    for (int i = 0; i < samples; ++i) {
        size_t before = host.count();
        SetEvent(poster.go);
        if (!host.WaitFor(before + 1, 2000)) {
            Fail(errors, "overhead floor message lost");
            break;
        }
        // The poster stores its start after posting; it is there once the
        // message has been handled, give or take the store's visibility.
        while (poster.startedAt == 0)
            Sleep(0);
        LONGLONG start = poster.startedAt.exchange(0);
        floor.push_back(Us(start, host.last().at));
        trace.push_back(Us(start, poster.tracedAt));
    }
    poster.stop = true;
    SetEvent(poster.go);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(poster.go);
    f.overheadFloorUs = Summarise(floor);
    f.overheadFloorTraceUs = Summarise(trace).median;
}

} // namespace bench
