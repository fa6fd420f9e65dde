#pragma once

// InitRemoteControl over device counts, beside the enumeration calls alone.

#include "HostWindow.h"
#include "Library.h"
#include "Stats.h"

namespace bench {

// Non-matching devices listed before the tuner.
const int kDeviceCounts[4] = {1, 10, 100, 1000};

// Per device count, in the order of kDeviceCounts.
struct InitFigures {
    double ms[4] = {}, floorMs[4] = {};       // median round
    double minMs[4] = {}, floorMinMs[4] = {}; // fastest round
};

// The cost of one device from 100 to 1,000 devices, from one of the rows above.
// The goal takes it from the fastest rounds: Init's fixed part (reading the
// INI file, starting the thread) swings by milliseconds under load, more than
// 900 devices cost, and the fastest round drops the swing.
double PerDeviceMs(const double (&row)[4]);

// rounds: 5 for a quick run, else 41; one more warms up first.
void MeasureInit(Library& lib, Host& host, bool quick, InitFigures& f, RunErrors& errors);

} // namespace bench
