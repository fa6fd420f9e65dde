#pragma once

// halyard-keys: how long a key takes through it, and what it costs idle.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "KeysPaths.h"
#include "Stats.h"

namespace bench {

struct KeysProgramFigures {
    // WM_REMOTE_CODE taken from the queue of halyard-keys' window -> the
    // keystroke's SendInput returned, in this process with the program's own
    // window procedure, key map and the simulation build running.
    Stats keyMs;
    // halyard-keys.exe in a process of its own with the library running.
    double idleSeconds = 0;
    double cpuPercent = -1;     // GetProcessTimes, 10 ms ticks under Wine
    double taskPercent = -1;    // Linux task clock of its threads
    double windowThreadPercent = -1; // of its main thread alone, which runs its window
    double floorTaskPercent = -1; // the same for a bare Win32 program with a hidden window
    double privateMb = -1;      // its private resident memory (Linux's count)
    double floorPrivateMb = -1; // the same for a bare Win32 program with a hidden window
};

// keys remote keys, alternately two codes so that each is a new press.
void MeasureKeysProgramLatency(int keys, KeysProgramFigures& f, RunErrors& errors);
void MeasureKeysProgramIdle(double seconds, KeysProgramFigures& f, RunErrors& errors);

// The programs started for these: halyard-bench.exe --bare-window runs the
// floor's, --keys-latency N FILE the latency's, which writes its samples
// (milliseconds, one a line, or "error WHY") to FILE.
int RunBareWindow();
int RunKeysLatency(int keys, const std::string& outPath);

// Shared with the LIRC server's figures.
std::string TempPath(const char* name); // a file name of this run's in %TEMP%
bool WriteFileText(const std::string& path, const char* text);
// Whether a host has read the session's simulated tuner in the last second.
bool SimulatedTunerRead();
bool WaitUntil(bool (*condition)(), DWORD ms);
HWND KeysWindow(); // halyard-keys' window, null when there is none
// halyard-keys' paths for a run in this process with ini, beside the
// simulation build.
KeysPaths BenchKeysPaths(const std::string& ini);
// keys remote keys posted to window, alternately two codes so that each is
// a new press, a key's gap apart; then WM_CLOSE.
void PostKeysThenClose(HWND window, int keys);
// The samples to out, which it closes; with fewer than keys, an error line
// that starts with shortfall. The program's exit code.
int WriteSamples(FILE* out, const std::vector<double>& measured, int keys,
                 const std::string& shortfall);
// Runs halyard-bench.exe OPTION KEYS FILE and returns the samples it wrote;
// its errors go to errors.
std::vector<double> RunSampler(const char* option, int keys, RunErrors& errors);

} // namespace bench
