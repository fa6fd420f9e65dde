#pragma once

// Key latency and the overhead per delivered key, with the overhead's floor.

#include "HostWindow.h"
#include "Library.h"
#include "Stats.h"

namespace bench {

struct KeyFigures {
    Stats latencyMs;       // frame made available -> message in the window
    Stats overheadUs;      // the driver's Get returns -> message in the window
    Stats overheadFloorUs; // OutputDebugStringA + PostMessageA from a plain thread
    double overheadFloorTraceUs = 0; // median of the OutputDebugStringA part
};

// presses frames, each made available at a random moment of the poll cycle.
void MeasureKeys(Library& lib, Host& host, int presses, KeyFigures& f, RunErrors& errors);
void MeasureOverheadFloor(Host& host, int samples, KeyFigures& f, RunErrors& errors);

} // namespace bench
