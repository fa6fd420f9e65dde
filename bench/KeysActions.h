#pragma once

// halyard-keys' actions beyond one keystroke: a sequence's way to its last
// SendInput, its idle cost with a mode on, and the pointer's steps while a
// key moves it.

#include <string>

#include "Stats.h"

namespace bench {

struct KeysActionFigures {
    // WM_REMOTE_CODE taken from the queue of halyard-keys' window -> the
    // SendInput of the last of a sequence of ten combinations (no waits)
    // returned, in a process of its own.
    Stats sequenceMs;
    // halyard-keys.exe idle with a mode on from the start.
    double modeIdleSeconds = 0;
    double modeIdleTaskPercent = -1; // Linux task clock of its threads
    // PointerMotion moving the system's pointer in this process: the time
    // between two steps once each step moves it (from 0.3 s on).
    Stats pointerStepMs;
    double pointerSeconds = 0;
    double pointerMovingPercent = -1;     // this process's task clock while it moves
    // The floor: a bare thread on a 10 ms timer reading the pointer and
    // putting it on, the same time long.
    double pointerFloorPercent = -1;
    double pointerIdleBeforePercent = -1; // the same before the first move
    double pointerIdleAfterPercent = -1;  // and after the release
};

void MeasureSequenceLatency(int keys, KeysActionFigures& f, RunErrors& errors);
void MeasureModeIdle(double seconds, KeysActionFigures& f, RunErrors& errors);
// unixPid: this process's Linux process id, for its task clock.
void MeasurePointer(double seconds, const std::string& unixPid, KeysActionFigures& f,
                    RunErrors& errors);
// The program MeasureSequenceLatency starts: halyard-bench.exe
// --keys-sequence N FILE.
int RunKeysSequence(int keys, const std::string& outPath);

// The figures' part of build/bench.json's "halyard_keys" object.
std::string KeysActionsJson(const KeysActionFigures& f);

} // namespace bench
