#pragma once

// CPU while the monitor polls an idle tuner, on three clocks: GetProcessTimes,
// Linux's task clock of the process's threads and that of the Wine server.

#include <string>

#include "HostWindow.h"
#include "Library.h"
#include "Stats.h"

namespace bench {

// Shares of one core in percent; -1 where a Linux clock is unreadable.
struct IdleCpuFigures {
    double percent = 0, percentHostOnly = 0; // GetProcessTimes
    double taskPercent = -1, taskPercentHostOnly = -1; // Linux task clock
    double serverPercent = -1; // the Wine server's task clock
};

// The host alone for seconds / 2, then the host with the monitor running for
// seconds. unixPid is this process's Linux process id (scripts/bench passes
// it); empty when unknown.
void MeasureIdleCpu(Library& lib, Host& host, double seconds, const std::string& unixPid,
                    IdleCpuFigures& f, RunErrors& errors);

} // namespace bench
