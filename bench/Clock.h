#pragma once

// Wall-clock time (QueryPerformanceCounter) and the random moments of a run,
// drawn from one generator that --seed sets.

#include <windows.h>

namespace bench {

LONGLONG Qpc();
double TicksPerMs();
double Ms(LONGLONG from, LONGLONG to);
double Us(LONGLONG from, LONGLONG to);

void SeedRandom(unsigned seed);
double Uniform(double from, double to);

} // namespace bench
