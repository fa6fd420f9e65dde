#include "PointerSpeed.h"

#include <math.h>

namespace pointer_speed {

namespace {

// Speed grows as kStart * kGrowth^(t / kStep) until it reaches kTop: this
// long after the start.
double TopAtMs()
{
    return kStepMs * log(kTopPxPerMs / kStartPxPerMs) / log(kGrowthPerStep);
}

// The integral of the growing speed from 0 to ms (ms up to TopAtMs()).
double GrowingDistance(double ms)
{
    double rate = log(kGrowthPerStep) / kStepMs;
    return kStartPxPerMs * (exp(rate * ms) - 1) / rate;
}

} // namespace

double SpeedAt(double heldMs)
{
    if (heldMs <= 0)
        return kStartPxPerMs;
    double top = TopAtMs();
    if (heldMs >= top)
        return kTopPxPerMs;
    return kStartPxPerMs * pow(kGrowthPerStep, heldMs / kStepMs);
}

double DistanceAt(double heldMs)
{
    if (heldMs <= 0)
        return 0;
    double top = TopAtMs();
    if (heldMs <= top)
        return GrowingDistance(heldMs);
    return GrowingDistance(top) + (heldMs - top) * kTopPxPerMs;
}

} // namespace pointer_speed
