#include "Clock.h"

#include <random>

namespace bench {

namespace {
std::mt19937 rng;
}

LONGLONG Qpc()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double TicksPerMs()
{
    static double perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart / 1000.0;
    }();
    return perMs;
}

double Ms(LONGLONG from, LONGLONG to)
{
    return (to - from) / TicksPerMs();
}

double Us(LONGLONG from, LONGLONG to)
{
    return Ms(from, to) * 1000.0;
}

void SeedRandom(unsigned seed)
{
    rng.seed(seed);
}

double Uniform(double from, double to)
{
    return std::uniform_real_distribution<double>(from, to)(rng);
}

} // namespace bench
