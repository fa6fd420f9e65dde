#pragma once

// The machine the figures were taken on.

#include <string>

namespace bench {

struct Machine {
    std::string cpu, cores, wine; // as scripts/bench passes them, or read here
    std::string load, loadAfter;  // 1, 5 and 15 minute load averages, start and end
};

// Fills in what the command line left empty: the CPU model from
// /proc/cpuinfo, the processor count, the Wine version and the load average.
void CompleteMachine(Machine& m);

// The 1, 5 and 15 minute load averages of the machine, read through drive Z:.
std::string LoadAverage();

} // namespace bench
