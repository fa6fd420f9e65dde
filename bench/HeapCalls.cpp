#include "HeapCalls.h"

#include <atomic>
#include <vector>

#include "IatPatch.h"
#include "SimTuner.h"

namespace bench {

namespace {

// The library's import table entries for the heap functions are redirected
// to these counters.
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

} // namespace

void MeasureHeap(Library& lib, Host& host, int polls, HeapFigures& f, RunErrors& errors)
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
            f.patched += (f.patched.empty() ? "" : " ") + std::string(t.name);
            patches.push_back(patch);
        } else {
            delete patch;
        }
    }

    simtuner::Simulation sim;
    if (FAILED(sim.Install()))
        return Fail(errors, "simulation install");
    IniFile ini("[Custom]\r\nMaskCode=0x40BF\r\n");
    heapCalls = 0;
    if (lib.init(host.hwnd(), ini.path()) != S_OK)
        return Fail(errors, "InitRemoteControl (heap)");
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
    f.calls = during;
    f.polls = static_cast<unsigned>(gets);
    f.callsPerPoll = gets ? static_cast<double>(during) / gets : -1;
    f.callsInitUninit = atInit + atUninit;
}

} // namespace bench
