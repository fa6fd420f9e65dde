#pragma once

// UnInitRemoteControl: with the monitor idle, beside its floor, and in the
// middle of a slow read.

#include "HostWindow.h"
#include "Library.h"
#include "Stats.h"

namespace bench {

struct UnInitFigures {
    Stats idleMs;          // the monitor idle in its wait
    Stats floorMs;         // SetEvent + joining a bare waiting thread + closing both handles
    Stats busyMs;          // 100 ms into a 200 ms read
    Stats busyAfterReadMs; // of that, after the read returned
    double busyReadLeftMs = 0; // median time the read in progress still had to run
};

void MeasureUninitIdle(Library& lib, Host& host, int samples, UnInitFigures& f,
                       RunErrors& errors);
void MeasureUninitBusy(Library& lib, Host& host, int samples, UnInitFigures& f,
                       RunErrors& errors);

} // namespace bench
