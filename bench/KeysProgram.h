#pragma once

// halyard-keys: how long a key takes through it, and what it costs idle.

#include <string>

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

} // namespace bench
