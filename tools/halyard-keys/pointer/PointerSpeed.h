#pragma once

// How fast a held arrow moves the pointer, as EventGhost's mouse plugin
// does it: slow at first, to hit a small button, then a constant growth
// every step up to a top speed (its numbers, but a lower top, so that a
// 1920-pixel screen takes about two seconds of holding, not one).
namespace pointer_speed {

const double kStartPxPerMs = 0.06; // 0.6 pixels a step at first
const double kGrowthPerStep = 1.03;
const double kTopPxPerMs = 2.0;    // 20 pixels a step
const unsigned kStepMs = 10;       // 100 steps a second

// The speed after heldMs of holding, in pixels per millisecond.
double SpeedAt(double heldMs);
// How far the pointer has gone after heldMs of holding, in pixels.
double DistanceAt(double heldMs);

} // namespace pointer_speed
