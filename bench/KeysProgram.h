#pragma once

// halyard-keys: how long a key takes through it, what it costs idle, and
// how soon it steps aside for a host that reads the tuner and comes back.

#include <windows.h>

#include <windows.h>

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

    // Beside asideOthers idle programs: a host's InitRemoteControl returned ->
    // halyard-keys answers that it stands aside; the host's process ended ->
    // halyard-keys answers that it listens again.
    Stats asideMs;
    Stats backMs;
    int asideOthers = 0;
    double asideIdleSeconds = 0;
    double asideIdleTaskPercent = -1; // Linux task clock, with those programs and no host
};

// keys remote keys, alternately two codes so that each is a new press.
void MeasureKeysProgramLatency(int keys, KeysProgramFigures& f, RunErrors& errors);
void MeasureKeysProgramIdle(double seconds, KeysProgramFigures& f, RunErrors& errors);
// rounds of a host starting and ending, beside others idle programs, after
// idleSeconds of halyard-keys' idle cost among them.
void MeasureKeysStepAside(int rounds, int others, double idleSeconds, KeysProgramFigures& f,
                          RunErrors& errors);

// The programs started for these: halyard-bench.exe --bare-window runs the
// floor's, --keys-latency N FILE the latency's, which writes its samples
// (milliseconds, one a line, or "error WHY") to FILE, and --reader-host PID
// a host of the simulation build for the benchmark of that process.
int RunBareWindow();
int RunKeysLatency(int keys, const std::string& outPath);
int RunReaderHost(DWORD benchPid);

} // namespace bench
