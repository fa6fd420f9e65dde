#pragma once

// halyard-keys' LIRC server: a key's way to its clients, and its idle cost
// with clients connected.

#include <string>

#include "Stats.h"

namespace bench {

struct LircFigures {
    static const int kClients = 16;
    // WM_REMOTE_CODE taken from the queue of halyard-keys' window -> the
    // line's send() to the last of 16 connected clients returned, in a
    // process of its own running the program's window procedure.
    Stats lineMs;
    // The floor: the same sends on 16 non-blocking sockets alone.
    Stats floorMs;
    // 16 SetEvent calls between those sends: on Windows a kernel call each,
    // under Wine a round trip to the Wine server each, as a send() is.
    Stats serverCallsMs;
    // halyard-keys.exe with 16 clients connected and no key pressed.
    double idleSeconds = 0;
    double taskPercent = -1; // Linux task clock of its threads
};

void MeasureLircLatency(int keys, LircFigures& f, RunErrors& errors);
void MeasureLircIdle(double seconds, LircFigures& f, RunErrors& errors);
// The program MeasureLircLatency starts: halyard-bench.exe --lirc-latency N FILE,
// which writes its samples (milliseconds, one a line, or "error WHY") to FILE.
int RunLircLatency(int keys, const std::string& outPath);

// The figures' part of build/bench.json's "halyard_keys" object.
std::string LircJson(const LircFigures& f);

} // namespace bench
