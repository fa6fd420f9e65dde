// halyard-keys among other programs: how soon it steps aside for a host
// that reads the tuner itself and reads again once that host has ended, and
// what watching for such hosts costs it, with idle programs running beside.

#include "KeysProgram.h"

#include <windows.h>

#include <objbase.h>

#include <memory>
#include <vector>

#include "Clock.h"
#include "ExeFolder.h"
#include "KeysHarness.h"
#include "LinuxClock.h"
#include "halyard.h"

namespace bench {

namespace {

// MenuState::Mode as halyard-keys answers it.
const int kListening = 0;
const int kAside = 4;
const DWORD kStateWaitMs = 10000;

// From now until halyard-keys answers state, into *samples.
bool Timed(int state, std::vector<double>* samples, const char* failure, RunErrors& errors)
{
    LONGLONG from = Qpc();
    if (!WaitUntil([state] { return KeysState() == state; }, kStateWaitMs)) {
        Fail(errors, failure);
        return false;
    }
    samples->push_back(Ms(from, Qpc()));
    return true;
}

std::string EventName(const char* what, DWORD pid)
{
    return std::string("Local\\HalyardBench") + what + std::to_string(pid);
}

} // namespace

// The host: the simulation build loaded and started as any program does it,
// then held until the benchmark says; it ends by returning.
int RunReaderHost(DWORD benchPid)
{
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, EventName("ReaderReady", benchPid).c_str());
    HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, EventName("ReaderQuit", benchPid).c_str());
    if (!ready || !quit || FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    HMODULE dll = LoadLibraryExA((ExeFolder() + "sim\\Halyard.dll").c_str(), nullptr,
                                 LOAD_WITH_ALTERED_SEARCH_PATH);
    auto init = dll ? reinterpret_cast<PFN_InitRemoteControl>(
                          reinterpret_cast<void (*)()>(GetProcAddress(dll, "InitRemoteControl")))
                    : nullptr;
    auto uninit = dll ? reinterpret_cast<PFN_UnInitRemoteControl>(
                            reinterpret_cast<void (*)()>(GetProcAddress(dll, "UnInitRemoteControl")))
                      : nullptr;
    HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                  nullptr);
    if (!init || !uninit || !window || FAILED(init(window, nullptr)))
        return 1;
    SetEvent(ready);
    // Keys are not this host's concern: its messages are dispatched only so
    // that the queue does not grow.
    while (MsgWaitForMultipleObjects(1, &quit, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    uninit();
    DestroyWindow(window);
    FreeLibrary(dll);
    CoUninitialize();
    return 0;
}

void MeasureKeysStepAside(int rounds, int others, double idleSeconds, KeysProgramFigures& f,
                          RunErrors& errors)
{
    std::string self = ExeFolder() + "halyard-bench.exe";
    std::string folder = TempPath("aside");
    if (!InstallKeys(folder))
        return Fail(errors, "cannot set up halyard-keys in " + folder);
    std::string unique = folder.substr(folder.find_last_of('\\') + 1);
    {
        // Idle programs with a window each, as a desktop has them: their
        // processes are what halyard-keys watches.
        std::vector<std::unique_ptr<Child>> idle;
        for (int i = 0; i < others; ++i)
            idle.emplace_back(new Child(self, " --bare-window", folder, kBareWindowClass));
        Child keys(folder + "\\halyard-keys.exe", "", folder, "HalyardKeysWindow");
        if (!keys.process() || !WaitUntil([] { return KeysState() == kListening; }, 20000)) {
            RemoveKeys(folder);
            return Fail(errors, "halyard-keys.exe did not start listening (step aside)");
        }
        f.asideOthers = others;
        Sleep(1000); // past its start and the programs' own
        f.asideIdleTaskPercent = TaskSharePercent(FindUnixPid(unique), idleSeconds);
        f.asideIdleSeconds = idleSeconds;

        HANDLE ready = CreateEventA(nullptr, FALSE, FALSE,
                                    EventName("ReaderReady", GetCurrentProcessId()).c_str());
        HANDLE quit = CreateEventA(nullptr, TRUE, FALSE,
                                   EventName("ReaderQuit", GetCurrentProcessId()).c_str());
        std::vector<double> aside, back;
        for (int round = 0; round < rounds && errors.ok; ++round) {
            ResetEvent(quit);
            Child host(self, " --reader-host " + std::to_string(GetCurrentProcessId()), folder,
                       nullptr);
            HANDLE waits[] = {ready, host.process()};
            if (!host.process() || WaitForMultipleObjects(2, waits, FALSE, 20000) != WAIT_OBJECT_0) {
                Fail(errors, "the reader host did not start");
                break;
            }
            if (!Timed(kAside, &aside, "halyard-keys did not step aside for a host", errors))
                break;
            SetEvent(quit);
            if (WaitForSingleObject(host.process(), 20000) != WAIT_OBJECT_0) {
                Fail(errors, "the reader host did not end");
                break;
            }
            if (!Timed(kListening, &back, "halyard-keys did not read again after the host ended",
                       errors))
                break;
        }
        CloseHandle(ready);
        CloseHandle(quit);
        f.asideMs = Summarise(aside);
        f.backMs = Summarise(back);
    }
    RemoveKeys(folder);
}

} // namespace bench
