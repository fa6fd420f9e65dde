// Benchmark of Halyard.dll, driven through its two exports against the
// simulated tuner, the way a host uses it. Every figure stands beside a floor:
// the platform calls that the same work cannot avoid, timed alone in this
// process during the same run. Goals are ratios to those floors (or fixed
// limits where the work has no floor), and each is marked met or missed.
//
//   halyard-bench.exe [--json PATH] [--cpu TEXT] [--cores N] [--wine TEXT]
//                     [--load TEXT] [--seed N] [--quick] [--only PART]
//                     [--unix-pid N]
//
// One part, one file: KeyLatency (key latency and per-key overhead),
// UnInitCost (UnInitRemoteControl idle and during a read), InitScaling
// (InitRemoteControl over device counts), IdleCpu, HeapCalls, and for
// halyard-keys (KeysProgram.h) KeysProgramLatency (a key's way to
// SendInput), KeysProgramIdle (its idle cost), KeysStepAside (how soon it
// makes way for a host and comes back) and LircBroadcast (its LIRC server:
// a key's way to 16 clients, and its idle cost with them). The harness they
// share is Clock, Stats, HostWindow, Library, LinuxClock and, for
// halyard-keys, KeysHarness; Machine, Report and Json make the table and
// build/bench.json.

#include <windows.h>

#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Clock.h"
#include "ExeFolder.h"
#include "HostWindow.h"
#include "Library.h"
#include "KeysActions.h"
#include "KeysProgram.h"
#include "Machine.h"
#include "Report.h"

using namespace bench;

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string(argv[1]) == "--bare-window")
        return RunBareWindow();
    if (argc == 4 && std::string(argv[1]) == "--keys-sequence")
        return RunKeysSequence(atoi(argv[2]), argv[3]);
    if (argc == 4 && std::string(argv[1]) == "--keys-latency")
        return RunKeysLatency(atoi(argv[2]), argv[3]);
    if (argc == 3 && std::string(argv[1]) == "--reader-host")
        return RunReaderHost(static_cast<DWORD>(strtoul(argv[2], nullptr, 10)));
    if (argc == 4 && std::string(argv[1]) == "--lirc-latency")
        return RunLircLatency(atoi(argv[2]), argv[3]);
    std::string jsonPath = ExeFolder() + "bench.json";
    Machine machine;
    unsigned seed = 20240605;
    bool quick = false;
    std::string only; // one part: keys, uninit, init, cpu, heap, halyard-keys or lirc
    std::string unixPid;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : "";
        if (arg == "--json")
            jsonPath = value, ++i;
        else if (arg == "--cpu")
            machine.cpu = value, ++i;
        else if (arg == "--cores")
            machine.cores = value, ++i;
        else if (arg == "--wine")
            machine.wine = value, ++i;
        else if (arg == "--load")
            machine.load = value, ++i;
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
    CompleteMachine(machine);
    SeedRandom(seed);

    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        fprintf(stderr, "CoInitializeEx failed\n");
        return 1;
    }
    Results r;
    setvbuf(stdout, nullptr, _IONBF, 0);
    printf("halyard-bench: seed %u%s\n", seed, quick ? ", quick run (figures indicative only)" : "");
    auto want = [&](const char* part) { return only.empty() || only == part; };
    {
        Library lib;
        if (!lib.Load())
            return 1;
        Host host;
        if (want("keys")) {
            printf("  key latency ...\n");
            MeasureKeys(lib, host, quick ? 8 : 60, r.keys, r.errors);
            printf("  per-key overhead floor ...\n");
            MeasureOverheadFloor(host, quick ? 10 : 60, r.keys, r.errors);
        }
        if (want("uninit")) {
            printf("  UnInitRemoteControl idle ...\n");
            MeasureUninitIdle(lib, host, quick ? 5 : 25, r.uninit, r.errors);
            printf("  UnInitRemoteControl during a slow read ...\n");
            MeasureUninitBusy(lib, host, quick ? 3 : 10, r.uninit, r.errors);
        }
        if (want("init")) {
            printf("  InitRemoteControl with 1 to 1000 devices ...\n");
            MeasureInit(lib, host, quick, r.init, r.errors);
        }
        if (want("cpu")) {
            printf("  idle CPU ...\n");
            MeasureIdleCpu(lib, host, quick ? 2 : 10, unixPid, r.cpu, r.errors);
        }
        if (want("heap")) {
            printf("  heap calls per poll ...\n");
            MeasureHeap(lib, host, quick ? 4 : 12, r.heap, r.errors);
        }
    }
    // With the library let go: halyard-keys steps aside for any program
    // that has it loaded, this one included.
    if (want("halyard-keys")) {
        printf("  halyard-keys: key to SendInput ...\n");
        MeasureKeysProgramLatency(quick ? 40 : 400, r.keysProgram, r.errors);
        printf("  halyard-keys: idle cost ...\n");
        MeasureKeysProgramIdle(quick ? 5 : 30, r.keysProgram, r.errors);
        printf("  halyard-keys: stepping aside for a host, beside 30 idle programs ...\n");
        MeasureKeysStepAside(quick ? 3 : 10, 30, quick ? 5 : 20, r.keysProgram, r.errors);
        printf("  halyard-keys: a sequence of ten to its last SendInput ...\n");
        MeasureSequenceLatency(quick ? 40 : 400, r.keysActions, r.errors);
        printf("  halyard-keys: idle cost with a mode on ...\n");
        MeasureModeIdle(quick ? 5 : 30, r.keysActions, r.errors);
        printf("  halyard-keys: the pointer moving ...\n");
        MeasurePointer(quick ? 2 : 5, unixPid, r.keysActions, r.errors);
    }
    if (want("lirc")) {
        printf("  halyard-keys: key to 16 LIRC clients ...\n");
        MeasureLircLatency(quick ? 40 : 400, r.lirc, r.errors);
        printf("  halyard-keys: idle cost with 16 LIRC clients ...\n");
        MeasureLircIdle(quick ? 5 : 30, r.lirc, r.errors);
    }
    CoUninitialize();
    machine.loadAfter = LoadAverage();

    std::vector<Goal> goals = Goals(r);
    bool allMet = PrintReport(machine, seed, r, goals);
    if (!WriteJson(jsonPath, machine, seed, quick, r, goals, allMet))
        return 1;
    printf("\nWrote %s\n", jsonPath.c_str());
    return r.errors.ok ? 0 : 1;
}
