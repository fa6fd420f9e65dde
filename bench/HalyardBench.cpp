// Benchmark of Halyard.dll, driven through its two exports against the
// simulated tuner, the way a host uses it. Every figure stands beside a floor:
// the platform calls that the same work cannot avoid, timed alone in this
// process during the same run. Goals are ratios to those floors (or fixed
// limits where the work has no floor), and each is marked met or missed.
//
//   halyard-bench.exe [--json PATH] [--cpu TEXT] [--cores N] [--wine TEXT]
//                     [--load TEXT] [--seed N] [--quick] [--only PART]
//                     [--unix-pid N]

#include <windows.h>

#include <objbase.h>
#include <oaidl.h>
#include <strmif.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ExeFolder.h"
#include "IatPatch.h"
#include "SimState.h"
#include "SimTuner.h"
#include "halyard.h"

namespace {

// ---------------------------------------------------------------- clocks ---

LONGLONG Qpc()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double TicksPerMs()
{
    static double perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart / 1000.0;
    }();
    return perMs;
}

double Ms(LONGLONG from, LONGLONG to)
{
    return (to - from) / TicksPerMs();
}

double Us(LONGLONG from, LONGLONG to)
{
    return Ms(from, to) * 1000.0;
}

struct Stats {
    size_t n = 0;
    double median = 0, p99 = 0, max = 0, min = 0;
};

Stats Summarise(std::vector<double> v)
{
    Stats s;
    s.n = v.size();
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    s.min = v.front();
    s.max = v.back();
    s.median = v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    // Nearest rank.
    size_t rank = static_cast<size_t>(std::ceil(0.99 * v.size()));
    s.p99 = v[rank ? rank - 1 : 0];
    return s;
}

// ------------------------------------------------------------------ host ---

struct Arrival {
    LPARAM key;
    LONGLONG at; // QueryPerformanceCounter in the window procedure
};

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

// A host window on this thread; it sleeps in MsgWaitForMultipleObjectsEx
// between messages, as an idle GUI thread does.
class Host {
public:
    Host()
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
    ~Host() { DestroyWindow(hwnd_); }

    HWND hwnd() const { return hwnd_; }
    size_t count() const { return arrivals.size(); }
    const Arrival& last() const { return arrivals.back(); }

    // Dispatches for ms milliseconds.
    void Pump(double ms) { Run(SIZE_MAX, ms); }
    // Dispatches until count messages have arrived in all; false on timeout.
    bool WaitFor(size_t count, double ms) { return Run(count, ms); }

private:
    bool Run(size_t count, double ms)
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
    HWND hwnd_ = nullptr;
};

// --------------------------------------------------------------- library ---

struct Library {
    HMODULE module = nullptr;
    PFN_InitRemoteControl init = nullptr;
    PFN_UnInitRemoteControl uninit = nullptr;

    bool Load()
    {
        std::string path = ExeFolder() + "Halyard.dll";
        module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        if (!module) {
            fprintf(stderr, "cannot load %s: error %lu\n", path.c_str(), GetLastError());
            return false;
        }
        init = reinterpret_cast<PFN_InitRemoteControl>(
            reinterpret_cast<void*>(GetProcAddress(module, "InitRemoteControl")));
        uninit = reinterpret_cast<PFN_UnInitRemoteControl>(
            reinterpret_cast<void*>(GetProcAddress(module, "UnInitRemoteControl")));
        return init && uninit;
    }
    ~Library()
    {
        if (module) {
            uninit();
            FreeLibrary(module);
        }
    }
};

class IniFile {
public:
    explicit IniFile(const char* contents)
    {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        path_ = std::string(folder) + "halyard-bench-" + std::to_string(GetCurrentProcessId()) +
                ".ini";
        HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, contents, static_cast<DWORD>(strlen(contents)), &written, nullptr);
        CloseHandle(file);
    }
    ~IniFile() { DeleteFileA(path_.c_str()); }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

std::mt19937 rng;

double Uniform(double from, double to)
{
    return std::uniform_real_distribution<double>(from, to)(rng);
}

const simtuner::Frame kNoCode = {0xFF, 0xFF, 0xFF, 0xFF};

// ------------------------------------------------------------ the figures ---

struct Results {
    Stats latencyMs;
    Stats overheadUs, overheadFloorUs;
    double overheadFloorTraceUs = 0; // median of the OutputDebugStringA part
    Stats uninitIdleMs, uninitFloorMs, uninitBusyMs, uninitBusyAfterReadMs;
    double busyReadLeftMs = 0; // median time the read in progress still had to run
    double initMs[4] = {}, initFloorMs[4] = {};
    double initMinMs[4] = {}, initFloorMinMs[4] = {}; // fastest round
    double idleCpuPercent = 0, idleCpuPercentHostOnly = 0;
    double idleCpuTaskPercent = -1, idleCpuServerPercent = -1; // Linux task clocks
    double idleCpuTaskPercentHostOnly = -1;
    double heapCallsPerPoll = 0;
    unsigned heapCalls = 0, heapPolls = 0, heapCallsInitUninit = 0;
    std::string heapPatched;
    bool ok = true;
    std::string failures;
};

void Fail(Results& r, const std::string& what)
{
    r.ok = false;
    r.failures += what + "\n";
    fprintf(stderr, "error: %s\n", what.c_str());
}

// Key latency and per-key overhead: a frame made available at a random moment
// of the poll cycle, until its message arrives in the window. The overhead is
// measured from the return of the driver's Get that carried the frame.
void MeasureKeys(Library& lib, Host& host, int presses, Results& r)
{
    simtuner::Simulation sim;
    if (FAILED(sim.Install()))
        return Fail(r, "simulation install");
    IniFile ini("[Custom]\r\nMaskCode=0x40BF\r\n");
    if (lib.init(host.hwnd(), ini.path()) != S_OK)
        return Fail(r, "InitRemoteControl (keys)");

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
            Fail(r, "key " + std::to_string(i) + " not delivered");
            break;
        }
        latency.push_back(Ms(pushed, host.last().at));
        for (const simtuner::GetRecord& call : sim.GetCalls()) {
            if (call.frame != kNoCode)
                overhead.push_back(Us(call.returnedAt, host.last().at));
        }
    }
    lib.uninit();
    r.latencyMs = Summarise(latency);
    r.overheadUs = Summarise(overhead);
}

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

void MeasureOverheadFloor(Host& host, int samples, Results& r)
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
            Fail(r, "overhead floor message lost");
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
    r.overheadFloorUs = Summarise(floor);
    r.overheadFloorTraceUs = Summarise(trace).median;
}

DWORD WINAPI BareWaiter(LPVOID event)
{
    // The monitor's loop without the device: a timed wait on the exit event.
    while (WaitForSingleObject(static_cast<HANDLE>(event), 250) != WAIT_OBJECT_0) {
    }
    return 0;
}

// UnInitRemoteControl with the monitor idle in its wait, beside the floor of
// stopping a bare thread the same way.
void MeasureUninitIdle(Library& lib, Host& host, int samples, Results& r)
{
    simtuner::Simulation sim;
    if (FAILED(sim.Install()))
        return Fail(r, "simulation install");
    IniFile ini("[Custom]\r\nMaskCode=0\r\n");
    std::vector<double> idle, floor;
    for (int i = 0; i < samples; ++i) {
        if (lib.init(host.hwnd(), ini.path()) != S_OK)
            return Fail(r, "InitRemoteControl (uninit idle)");
        host.Pump(260 + Uniform(0, 200)); // at least one poll done, no read running
        LONGLONG start = Qpc();
        HRESULT hr = lib.uninit();
        LONGLONG end = Qpc();
        if (hr != S_OK)
            return Fail(r, "UnInitRemoteControl (idle)");
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
    r.uninitIdleMs = Summarise(idle);
    r.uninitFloorMs = Summarise(floor);
}

// UnInitRemoteControl while a slow read (200 ms) is in progress, about 100 ms
// into it: the read finishes and delivers before the call returns.
void MeasureUninitBusy(Library& lib, Host& host, int samples, Results& r)
{
    simtuner::Simulation sim;
    if (FAILED(sim.Install()))
        return Fail(r, "simulation install");
    IniFile ini("[Custom]\r\nMaskCode=0\r\n");
    const DWORD kReadMs = 200;
    sim.SetGetDelay(kReadMs);
    std::vector<double> busy, afterRead, readLeft;
    for (int i = 0; i < samples; ++i) {
        sim.ClearGetCalls();
        if (lib.init(host.hwnd(), ini.path()) != S_OK)
            return Fail(r, "InitRemoteControl (uninit busy)");
        // The first read returns 250 + 200 ms after the start; the second
        // starts 250 ms after that.
        LONGLONG deadline = Qpc() + static_cast<LONGLONG>(2000 * TicksPerMs());
        while (sim.GetCallCount() == 0 && Qpc() < deadline)
            host.Pump(1);
        std::vector<simtuner::GetRecord> calls = sim.GetCalls();
        if (calls.empty())
            return Fail(r, "no read (uninit busy)");
        double sinceRead = Ms(calls[0].returnedAt, Qpc());
        host.Pump(std::max(0.0, 250 + kReadMs / 2.0 - sinceRead));
        LONGLONG start = Qpc();
        HRESULT hr = lib.uninit();
        LONGLONG end = Qpc();
        if (hr != S_OK)
            return Fail(r, "UnInitRemoteControl (busy)");
        calls = sim.GetCalls();
        busy.push_back(Ms(start, end));
        if (calls.size() == 2) {
            readLeft.push_back(Ms(start, calls[1].returnedAt));
            afterRead.push_back(Ms(calls[1].returnedAt, end));
        }
        host.Pump(10);
    }
    sim.SetGetDelay(0);
    r.uninitBusyMs = Summarise(busy);
    r.uninitBusyAfterReadMs = Summarise(afterRead);
    r.busyReadLeftMs = Summarise(readLeft).median;
}

// The simulation's own identifiers: the floor asks for what the library asks for.
namespace ids = simtuner::detail::ids;

// The floor of discovery: the enumeration calls that finding the tuner cannot
// avoid, over the same simulated devices, in a bare loop.
bool FloorDiscover()
{
    ICreateDevEnum* devEnum = nullptr;
    if (FAILED(CoCreateInstance(ids::CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                                ids::IID_ICreateDevEnum, reinterpret_cast<void**>(&devEnum))))
        return false;
    IEnumMoniker* monikers = nullptr;
    devEnum->CreateClassEnumerator(ids::KSCATEGORY_BDA_NETWORK_TUNER, &monikers, 0x40);
    bool found = false;
    IMoniker* moniker = nullptr;
    while (monikers && monikers->Next(1, &moniker, nullptr) == S_OK) {
        IPropertyBag* bag = nullptr;
        bool match = false;
        if (SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, ids::IID_IPropertyBag,
                                             reinterpret_cast<void**>(&bag)))) {
            VARIANT name;
            VariantInit(&name);
            match = SUCCEEDED(bag->Read(L"FriendlyName", &name, nullptr)) &&
                    name.vt == VT_BSTR && wcscmp(name.bstrVal, L"QBOX DVBS Tuner") == 0;
            VariantClear(&name);
            bag->Release();
        }
        if (match) {
            IBaseFilter* filter = nullptr;
            if (SUCCEEDED(moniker->BindToObject(nullptr, nullptr, ids::IID_IBaseFilter,
                                                reinterpret_cast<void**>(&filter)))) {
                IKsPropertySet* set = nullptr;
                found = SUCCEEDED(filter->QueryInterface(ids::IID_IKsPropertySet,
                                                         reinterpret_cast<void**>(&set)));
                if (set)
                    set->Release();
                filter->Release();
            }
        }
        moniker->Release();
        if (match)
            break;
    }
    if (monikers)
        monikers->Release();
    devEnum->Release();
    return found;
}

const int kDeviceCounts[4] = {1, 10, 100, 1000};

// InitRemoteControl with n non-matching devices listed before the tuner. The
// device counts take turns round by round, and each round times the library
// and then the floor, so that all of them see the same machine.
void MeasureInit(Library& lib, Host& host, bool quick, Results& r)
{
    IniFile ini("[Custom]\r\nMaskCode=0\r\n");
    std::vector<std::unique_ptr<simtuner::Simulation>> sims;
    for (int n : kDeviceCounts) {
        simtuner::Config config;
        for (int i = 0; i < n; ++i)
            config.devices.push_back({L"Other Tuner " + std::to_wstring(i)});
        config.devices.push_back({L"QBOX DVBS Tuner"});
        sims.emplace_back(new simtuner::Simulation(config));
    }
    int rounds = quick ? 5 : 41;
    std::vector<double> lib_[4], floor[4];
    for (int i = -1; i < rounds; ++i) { // the first round warms up
        for (int c = 0; c < 4; ++c) {
            simtuner::Simulation& sim = *sims[c];
            if (FAILED(sim.Install()))
                return Fail(r, "simulation install");
            host.Pump(1);
            LONGLONG start = Qpc();
            HRESULT hr = lib.init(host.hwnd(), ini.path());
            LONGLONG end = Qpc();
            if (hr != S_OK)
                return Fail(r, "InitRemoteControl with " + std::to_string(kDeviceCounts[c]) +
                                   " devices");
            lib.uninit();
            if (i >= 0)
                lib_[c].push_back(Ms(start, end));
            host.Pump(1);
            start = Qpc();
            bool found = FloorDiscover();
            end = Qpc();
            if (!found)
                return Fail(r, "floor discovery");
            if (i >= 0)
                floor[c].push_back(Ms(start, end));
            sim.Uninstall();
        }
    }
    for (int c = 0; c < 4; ++c) {
        Stats l = Summarise(lib_[c]), f = Summarise(floor[c]);
        r.initMs[c] = l.median;
        r.initFloorMs[c] = f.median;
        r.initMinMs[c] = l.min;
        r.initFloorMinMs[c] = f.min;
    }
}

ULONGLONG ProcessCpu100ns()
{
    FILETIME creation, exit, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return k.QuadPart + u.QuadPart;
}

// Linux's own count of CPU time (nanoseconds) for every thread of a process,
// read through Wine's drive Z:. Files are opened by the Wine server, so
// "self" there is the server itself; this process is found by its Linux
// process id, which scripts/bench passes in. -1 when unavailable.
std::string unixPid;

double TaskClockNs(const std::string& pid)
{
    if (pid.empty())
        return -1;
    std::string folder = "Z:\\proc\\" + pid + "\\task\\";
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return -1;
    double total = 0;
    do {
        if (found.cFileName[0] == '.')
            continue;
        FILE* file = fopen((folder + found.cFileName + "\\schedstat").c_str(), "r");
        if (!file)
            continue;
        double ns = 0;
        if (fscanf(file, "%lf", &ns) == 1)
            total += ns;
        fclose(file);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return total;
}

double ServerClockNs()
{
    FILE* file = fopen("Z:\\proc\\self\\schedstat", "r");
    if (!file)
        return -1;
    double ns = -1;
    if (fscanf(file, "%lf", &ns) != 1)
        ns = -1;
    fclose(file);
    return ns;
}

// CPU the whole process spends while the monitor polls an idle tuner.
void MeasureIdleCpu(Library& lib, Host& host, double seconds, Results& r)
{
    simtuner::Simulation sim;
    if (FAILED(sim.Install()))
        return Fail(r, "simulation install");
    IniFile ini("[Custom]\r\nMaskCode=0\r\n");

    // The host alone first, for comparison.
    ULONGLONG cpu0 = ProcessCpu100ns();
    double hostTask0 = TaskClockNs(unixPid);
    LONGLONG t0 = Qpc();
    host.Pump(seconds * 500);
    double hostMs = Ms(t0, Qpc());
    r.idleCpuPercentHostOnly = (ProcessCpu100ns() - cpu0) / 1e4 / hostMs * 100;
    double hostTask1 = TaskClockNs(unixPid);
    if (hostTask0 >= 0 && hostTask1 >= 0)
        r.idleCpuTaskPercentHostOnly = (hostTask1 - hostTask0) / 1e6 / hostMs * 100;

    if (lib.init(host.hwnd(), ini.path()) != S_OK)
        return Fail(r, "InitRemoteControl (idle cpu)");
    host.Pump(300);
    cpu0 = ProcessCpu100ns();
    double task0 = TaskClockNs(unixPid), server0 = ServerClockNs();
    t0 = Qpc();
    host.Pump(seconds * 1000);
    LONGLONG t1 = Qpc();
    ULONGLONG cpu1 = ProcessCpu100ns();
    double task1 = TaskClockNs(unixPid), server1 = ServerClockNs();
    lib.uninit();
    double wallMs = Ms(t0, t1);
    r.idleCpuPercent = (cpu1 - cpu0) / 1e4 / wallMs * 100;
    if (task0 >= 0 && task1 >= 0)
        r.idleCpuTaskPercent = (task1 - task0) / 1e6 / wallMs * 100;
    if (server0 >= 0 && server1 >= 0)
        r.idleCpuServerPercent = (server1 - server0) / 1e6 / wallMs * 100;
}

// Heap calls made by the library itself: its import table entries for the
// heap functions are redirected to counters.
std::atomic<unsigned> heapCalls{0};

using HeapAllocFn = LPVOID(WINAPI*)(HANDLE, DWORD, SIZE_T);
using HeapFreeFn = BOOL(WINAPI*)(HANDLE, DWORD, LPVOID);
using HeapReAllocFn = LPVOID(WINAPI*)(HANDLE, DWORD, LPVOID, SIZE_T);
using MallocFn = void*(__cdecl*)(size_t);
using FreeFn = void(__cdecl*)(void*);
using CallocFn = void*(__cdecl*)(size_t, size_t);
using ReallocFn = void*(__cdecl*)(void*, size_t);

HeapAllocFn realHeapAlloc;
HeapFreeFn realHeapFree;
HeapReAllocFn realHeapReAlloc;
MallocFn realMalloc;
FreeFn realFree;
CallocFn realCalloc;
ReallocFn realRealloc;

LPVOID WINAPI CountHeapAlloc(HANDLE h, DWORD f, SIZE_T n)
{
    ++heapCalls;
    return realHeapAlloc(h, f, n);
}
BOOL WINAPI CountHeapFree(HANDLE h, DWORD f, LPVOID p)
{
    ++heapCalls;
    return realHeapFree(h, f, p);
}
LPVOID WINAPI CountHeapReAlloc(HANDLE h, DWORD f, LPVOID p, SIZE_T n)
{
    ++heapCalls;
    return realHeapReAlloc(h, f, p, n);
}
void* __cdecl CountMalloc(size_t n)
{
    ++heapCalls;
    return realMalloc(n);
}
void __cdecl CountFree(void* p)
{
    ++heapCalls;
    realFree(p);
}
void* __cdecl CountCalloc(size_t n, size_t s)
{
    ++heapCalls;
    return realCalloc(n, s);
}
void* __cdecl CountRealloc(void* p, size_t n)
{
    ++heapCalls;
    return realRealloc(p, n);
}

template <typename Fn>
Fn Resolve(const char* dll, const char* name)
{
    return reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(dll), name)));
}

void MeasureHeap(Library& lib, Host& host, int polls, Results& r)
{
    realHeapAlloc = Resolve<HeapAllocFn>("kernel32.dll", "HeapAlloc");
    realHeapFree = Resolve<HeapFreeFn>("kernel32.dll", "HeapFree");
    realHeapReAlloc = Resolve<HeapReAllocFn>("kernel32.dll", "HeapReAlloc");
    LoadLibraryA("msvcrt.dll");
    realMalloc = Resolve<MallocFn>("msvcrt.dll", "malloc");
    realFree = Resolve<FreeFn>("msvcrt.dll", "free");
    realCalloc = Resolve<CallocFn>("msvcrt.dll", "calloc");
    realRealloc = Resolve<ReallocFn>("msvcrt.dll", "realloc");

    struct Target {
        const char* dll;
        const char* name;
        void* replacement;
    } targets[] = {
        {"KERNEL32.dll", "HeapAlloc", reinterpret_cast<void*>(CountHeapAlloc)},
        {"KERNEL32.dll", "HeapFree", reinterpret_cast<void*>(CountHeapFree)},
        {"KERNEL32.dll", "HeapReAlloc", reinterpret_cast<void*>(CountHeapReAlloc)},
        {"msvcrt.dll", "malloc", reinterpret_cast<void*>(CountMalloc)},
        {"msvcrt.dll", "free", reinterpret_cast<void*>(CountFree)},
        {"msvcrt.dll", "calloc", reinterpret_cast<void*>(CountCalloc)},
        {"msvcrt.dll", "realloc", reinterpret_cast<void*>(CountRealloc)},
    };
    std::vector<IatPatch*> patches;
    for (const Target& t : targets) {
        auto* patch = new IatPatch(lib.module, t.dll, t.name, t.replacement);
        if (patch->applied()) {
            r.heapPatched += (r.heapPatched.empty() ? "" : " ") + std::string(t.name);
            patches.push_back(patch);
        } else {
            delete patch;
        }
    }

    simtuner::Simulation sim;
    if (FAILED(sim.Install()))
        return Fail(r, "simulation install");
    IniFile ini("[Custom]\r\nMaskCode=0x40BF\r\n");
    heapCalls = 0;
    if (lib.init(host.hwnd(), ini.path()) != S_OK)
        return Fail(r, "InitRemoteControl (heap)");
    unsigned atInit = heapCalls.exchange(0);
    host.Pump(300);

    // Every kind of poll: a delivered key, a rejected custom code, no code.
    size_t gets0 = sim.GetCallCount();
    heapCalls = 0;
    for (int i = 0; i < polls; ++i)
        sim.PushFrame(simtuner::MakeFrame(i % 3 == 1 ? 0x00FF : 0x40BF, static_cast<BYTE>(i)));
    host.Pump(polls * 250.0 * 1.5);
    unsigned during = heapCalls.exchange(0);
    size_t gets = sim.GetCallCount() - gets0;
    lib.uninit();
    unsigned atUninit = heapCalls.exchange(0);

    for (IatPatch* patch : patches)
        delete patch;
    r.heapCalls = during;
    r.heapPolls = static_cast<unsigned>(gets);
    r.heapCallsPerPoll = gets ? static_cast<double>(during) / gets : -1;
    r.heapCallsInitUninit = atInit + atUninit;
}

// ------------------------------------------------------------ the report ---

std::string ReadFirstLine(const char* path)
{
    FILE* file = fopen(path, "r");
    if (!file)
        return "";
    char line[512] = {};
    if (!fgets(line, sizeof(line), file))
        line[0] = 0;
    fclose(file);
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

// The 1, 5 and 15 minute load averages of the machine.
std::string LoadAverage()
{
    std::string line = ReadFirstLine("Z:\\proc\\loadavg");
    size_t end = 0;
    for (int field = 0; field < 3 && end != std::string::npos; ++field)
        end = line.find(' ', end + (field ? 1 : 0));
    return line.substr(0, end);
}

std::string CpuModelFromProc()
{
    FILE* file = fopen("Z:\\proc\\cpuinfo", "r");
    if (!file)
        return "";
    char line[512];
    std::string model;
    while (fgets(line, sizeof(line), file)) {
        if (strncmp(line, "model name", 10) == 0) {
            const char* colon = strchr(line, ':');
            model = colon ? colon + 2 : line;
            while (!model.empty() && (model.back() == '\n' || model.back() == '\r'))
                model.pop_back();
            break;
        }
    }
    fclose(file);
    return model;
}

std::string WineVersion()
{
    using Fn = const char*(CDECL*)();
    auto fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")));
    return fn ? std::string("wine-") + fn() : std::string("not Wine");
}

struct Goal {
    bool met;
    std::string text;
};

const char* Mark(bool met)
{
    return met ? "met" : "MISSED";
}

std::string Fmt(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Fmt(const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    return text;
}

std::string JsonEscape(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (static_cast<unsigned char>(c) >= 0x20)
            out += c;
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    std::string jsonPath = ExeFolder() + "bench.json";
    std::string cpu, cores, wine, load;
    unsigned seed = 20240605;
    bool quick = false;
    std::string only; // one part: keys, uninit, init, cpu or heap
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : "";
        if (arg == "--json")
            jsonPath = value, ++i;
        else if (arg == "--cpu")
            cpu = value, ++i;
        else if (arg == "--cores")
            cores = value, ++i;
        else if (arg == "--wine")
            wine = value, ++i;
        else if (arg == "--load")
            load = value, ++i;
        else if (arg == "--seed")
            seed = static_cast<unsigned>(strtoul(value, nullptr, 10)), ++i;
        else if (arg == "--quick")
            quick = true;
        else if (arg == "--unix-pid")
            unixPid = value, ++i;
        else if (arg == "--only")
            only = value, ++i;
        else {
            fprintf(stderr, "usage: halyard-bench [--json PATH] [--cpu TEXT] [--cores N] "
                            "[--wine TEXT] [--load TEXT] [--seed N] [--quick] [--only PART] [--unix-pid N]\n");
            return 2;
        }
    }
    if (cpu.empty())
        cpu = CpuModelFromProc();
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    if (cores.empty())
        cores = std::to_string(info.dwNumberOfProcessors);
    if (wine.empty())
        wine = WineVersion();
    if (load.empty())
        load = LoadAverage();
    rng.seed(seed);

    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        fprintf(stderr, "CoInitializeEx failed\n");
        return 1;
    }
    Results r;
    {
        Library lib;
        if (!lib.Load())
            return 1;
        Host host;
        setvbuf(stdout, nullptr, _IONBF, 0);
        printf("halyard-bench: seed %u%s\n", seed, quick ? ", quick run (figures indicative only)" : "");
        auto want = [&](const char* part) { return only.empty() || only == part; };
        if (want("keys")) {
            printf("  key latency ...\n");
            MeasureKeys(lib, host, quick ? 8 : 60, r);
            printf("  per-key overhead floor ...\n");
            MeasureOverheadFloor(host, quick ? 10 : 60, r);
        }
        if (want("uninit")) {
            printf("  UnInitRemoteControl idle ...\n");
            MeasureUninitIdle(lib, host, quick ? 5 : 25, r);
            printf("  UnInitRemoteControl during a slow read ...\n");
            MeasureUninitBusy(lib, host, quick ? 3 : 10, r);
        }
        if (want("init")) {
            printf("  InitRemoteControl with 1 to 1000 devices ...\n");
            MeasureInit(lib, host, quick, r);
        }
        if (want("cpu")) {
            printf("  idle CPU ...\n");
            MeasureIdleCpu(lib, host, quick ? 2 : 10, r);
        }
        if (want("heap")) {
            printf("  heap calls per poll ...\n");
            MeasureHeap(lib, host, quick ? 4 : 12, r);
        }
    }
    CoUninitialize();
    std::string loadAfter = LoadAverage();

    // Per device from each count's fastest round: the fixed part of Init
    // (reading the INI file, starting the thread) swings by milliseconds under
    // load, more than 900 devices cost, and the fastest round drops the swing.
    double perDevice = (r.initMinMs[3] - r.initMinMs[2]) / 900.0;
    double perDeviceFloor = (r.initFloorMinMs[3] - r.initFloorMinMs[2]) / 900.0;
    double perDeviceMedian = (r.initMs[3] - r.initMs[2]) / 900.0;
    double perDeviceFloorMedian = (r.initFloorMs[3] - r.initFloorMs[2]) / 900.0;
    double overheadRatio = r.overheadFloorUs.median > 0 ? r.overheadUs.median / r.overheadFloorUs.median : 0;
    double uninitRatio = r.uninitFloorMs.median > 0 ? r.uninitIdleMs.median / r.uninitFloorMs.median : 0;
    double growth = r.initMs[2] > 0 ? r.initMs[3] / r.initMs[2] : 0;
    double perDeviceRatio = perDeviceFloor > 0 ? perDevice / perDeviceFloor : 0;

    std::vector<Goal> goals = {
        {r.latencyMs.n >= 40 && r.latencyMs.max <= 1.08 * 250,
         Fmt("key latency max %.1f ms <= 1.08 x 250 ms (270 ms)", r.latencyMs.max)},
        {r.overheadUs.n > 0 && overheadRatio <= 1.25,
         Fmt("overhead median %.1f us <= 1.25 x floor %.1f us (ratio %.2f)", r.overheadUs.median,
             r.overheadFloorUs.median, overheadRatio)},
        {r.uninitIdleMs.n > 0 && uninitRatio <= 1.25,
         Fmt("UnInit idle median %.3f ms <= 1.25 x floor %.3f ms (ratio %.2f)",
             r.uninitIdleMs.median, r.uninitFloorMs.median, uninitRatio)},
        {growth > 0 && growth <= 12,
         Fmt("Init growth: 1000 devices %.2f ms <= 12 x 100 devices %.2f ms (ratio %.2f)",
             r.initMs[3], r.initMs[2], growth)},
        {perDeviceFloor > 0 && perDeviceRatio <= 1.25,
         Fmt("Init per device %.2f us <= 1.25 x floor %.2f us (ratio %.2f)", perDevice * 1000,
             perDeviceFloor * 1000, perDeviceRatio)},
        // GetProcessTimes counts 10 ms ticks under Wine, exactly 0.1 % of 10 s;
        // Linux's task clock of the same threads, where there is one, decides.
        r.idleCpuTaskPercent >= 0
            ? Goal{r.idleCpuTaskPercent <= 0.1,
                   Fmt("idle CPU %.4f %% of one core <= 0.1 %% (task clock; GetProcessTimes %.3f %%)",
                       r.idleCpuTaskPercent, r.idleCpuPercent)}
            : Goal{r.idleCpuPercent <= 0.1,
                   Fmt("idle CPU %.3f %% of one core <= 0.1 %% (GetProcessTimes)",
                       r.idleCpuPercent)},
        {r.heapPolls > 0 && r.heapCalls == 0,
         Fmt("heap calls per poll %.2f == 0", r.heapCallsPerPoll)},
    };

    printf("\nMachine: %s; %s cores; %s; load average %s at start, %s at end\n", cpu.c_str(),
           cores.c_str(), wine.c_str(), load.c_str(), loadAfter.c_str());
    printf("Seed %u. Times are wall-clock (QueryPerformanceCounter) under the machine's load.\n\n",
           seed);
    printf("%-44s %12s %12s %12s\n", "figure", "median", "p99", "max");
    printf("%-44s %12.1f %12.1f %12.1f   (n=%zu)\n", "key latency, ms", r.latencyMs.median,
           r.latencyMs.p99, r.latencyMs.max, r.latencyMs.n);
    printf("%-44s %12.1f %12.1f %12.1f   (n=%zu)\n", "per-key overhead, us", r.overheadUs.median,
           r.overheadUs.p99, r.overheadUs.max, r.overheadUs.n);
    printf("%-44s %12.1f %12.1f %12.1f   (n=%zu)\n", "  floor: OutputDebugStringA+PostMessageA, us",
           r.overheadFloorUs.median, r.overheadFloorUs.p99, r.overheadFloorUs.max,
           r.overheadFloorUs.n);
    printf("%-44s %12.1f\n", "    of which OutputDebugStringA, us", r.overheadFloorTraceUs);
    printf("%-44s %12.3f %12.3f %12.3f   (n=%zu)\n", "UnInitRemoteControl idle, ms",
           r.uninitIdleMs.median, r.uninitIdleMs.p99, r.uninitIdleMs.max, r.uninitIdleMs.n);
    printf("%-44s %12.3f %12.3f %12.3f   (n=%zu)\n", "  floor: SetEvent+join+2 CloseHandle, ms",
           r.uninitFloorMs.median, r.uninitFloorMs.p99, r.uninitFloorMs.max, r.uninitFloorMs.n);
    printf("%-44s %12.1f %12.1f %12.1f   (n=%zu)\n", "UnInitRemoteControl in a 200 ms read, ms",
           r.uninitBusyMs.median, r.uninitBusyMs.p99, r.uninitBusyMs.max, r.uninitBusyMs.n);
    printf("%-44s %12.1f %12s %12s\n", "  of which the read still had to run, ms",
           r.busyReadLeftMs, "", "");
    printf("%-44s %12.3f %12.3f %12.3f\n", "  after the read returned, ms",
           r.uninitBusyAfterReadMs.median, r.uninitBusyAfterReadMs.p99,
           r.uninitBusyAfterReadMs.max);
    printf("\n%-44s %10s %10s %10s %10s\n", "InitRemoteControl (median), ms", "1", "10", "100",
           "1000");
    printf("%-44s %10.3f %10.3f %10.3f %10.3f\n", "  library", r.initMs[0], r.initMs[1],
           r.initMs[2], r.initMs[3]);
    printf("%-44s %10.3f %10.3f %10.3f %10.3f\n", "  floor: enumeration calls alone", r.initFloorMs[0],
           r.initFloorMs[1], r.initFloorMs[2], r.initFloorMs[3]);
    printf("%-44s %10.3f %10.3f %10.3f %10.3f\n", "  library, fastest round", r.initMinMs[0],
           r.initMinMs[1], r.initMinMs[2], r.initMinMs[3]);
    printf("%-44s %10.3f %10.3f %10.3f %10.3f\n", "  floor, fastest round", r.initFloorMinMs[0],
           r.initFloorMinMs[1], r.initFloorMinMs[2], r.initFloorMinMs[3]);
    printf("%-44s %.2f us, floor %.2f us (fastest rounds); %.2f us, floor %.2f us (medians)\n",
           "  cost per device (100 to 1000)", perDevice * 1000, perDeviceFloor * 1000,
           perDeviceMedian * 1000, perDeviceFloorMedian * 1000);
    printf("\n%-44s %.3f %% (GetProcessTimes, in 10 ms ticks under Wine; host alone %.3f %%)\n",
           "idle CPU over 10 s, share of one core", r.idleCpuPercent, r.idleCpuPercentHostOnly);
    if (r.idleCpuTaskPercent >= 0)
        printf("%-44s %.4f %% (Linux task clock of its threads; host alone %.4f %%)\n", "",
               r.idleCpuTaskPercent, r.idleCpuTaskPercentHostOnly);
    if (r.idleCpuServerPercent >= 0)
        printf("%-44s %.4f %% (the Wine server meanwhile, which serves the waits)\n", "",
               r.idleCpuServerPercent);
    printf("%-44s %.2f (%u calls over %u polls; patched: %s; %u at Init+UnInit)\n",
           "heap calls per poll", r.heapCallsPerPoll, r.heapCalls, r.heapPolls,
           r.heapPatched.c_str(), r.heapCallsInitUninit);

    printf("\nGoals:\n");
    bool allMet = true;
    for (const Goal& g : goals) {
        printf("  %-7s %s\n", Mark(g.met), g.text.c_str());
        allMet = allMet && g.met;
    }
    if (!r.ok)
        printf("\nRun errors:\n%s", r.failures.c_str());

    FILE* json = fopen(jsonPath.c_str(), "w");
    if (!json) {
        fprintf(stderr, "cannot write %s\n", jsonPath.c_str());
        return 1;
    }
    fprintf(json, "{\n");
    fprintf(json, "  \"machine\": {\"cpu\": \"%s\", \"cores\": \"%s\", \"wine\": \"%s\", "
                  "\"load_start\": \"%s\", \"load_end\": \"%s\"},\n",
            JsonEscape(cpu).c_str(), JsonEscape(cores).c_str(), JsonEscape(wine).c_str(),
            JsonEscape(load).c_str(), JsonEscape(loadAfter).c_str());
    fprintf(json, "  \"seed\": %u,\n  \"quick\": %s,\n", seed, quick ? "true" : "false");
    fprintf(json, "  \"latency_ms\": {\"median\": %.3f, \"p99\": %.3f, \"max\": %.3f},\n",
            r.latencyMs.median, r.latencyMs.p99, r.latencyMs.max);
    fprintf(json, "  \"overhead_us\": {\"median\": %.2f, \"p99\": %.2f},\n", r.overheadUs.median,
            r.overheadUs.p99);
    fprintf(json, "  \"overhead_floor_us\": {\"median\": %.2f, \"p99\": %.2f, \"trace_part\": %.2f},\n",
            r.overheadFloorUs.median, r.overheadFloorUs.p99, r.overheadFloorTraceUs);
    fprintf(json, "  \"uninit_idle_ms\": {\"median\": %.4f, \"max\": %.4f},\n",
            r.uninitIdleMs.median, r.uninitIdleMs.max);
    fprintf(json, "  \"uninit_floor_ms\": {\"median\": %.4f},\n", r.uninitFloorMs.median);
    fprintf(json, "  \"uninit_busy_ms\": {\"median\": %.3f, \"max\": %.3f},\n",
            r.uninitBusyMs.median, r.uninitBusyMs.max);
    fprintf(json, "  \"init_ms\": {\"1\": %.4f, \"10\": %.4f, \"100\": %.4f, \"1000\": %.4f},\n",
            r.initMs[0], r.initMs[1], r.initMs[2], r.initMs[3]);
    fprintf(json, "  \"init_floor_ms\": {\"100\": %.4f, \"1000\": %.4f},\n", r.initFloorMs[2],
            r.initFloorMs[3]);
    fprintf(json, "  \"init_per_device_us\": %.4f,\n  \"init_floor_per_device_us\": %.4f,\n",
            perDevice * 1000, perDeviceFloor * 1000);
    fprintf(json, "  \"idle_cpu_percent\": %.4f,\n", r.idleCpuPercent);
    fprintf(json, "  \"idle_cpu_percent_task_clock\": %.5f,\n", r.idleCpuTaskPercent);
    fprintf(json, "  \"idle_cpu_percent_wineserver\": %.5f,\n", r.idleCpuServerPercent);
    fprintf(json, "  \"heap_calls_per_poll\": %.3f,\n", r.heapCallsPerPoll);
    fprintf(json, "  \"goals\": [");
    for (size_t i = 0; i < goals.size(); ++i)
        fprintf(json, "%s\n    {\"goal\": \"%s\", \"met\": %s}", i ? "," : "",
                JsonEscape(goals[i].text).c_str(), goals[i].met ? "true" : "false");
    fprintf(json, "\n  ],\n  \"all_goals_met\": %s,\n  \"run_ok\": %s\n}\n",
            allMet ? "true" : "false", r.ok ? "true" : "false");
    fclose(json);
    printf("\nWrote %s\n", jsonPath.c_str());
    return r.ok ? 0 : 1;
}
