#pragma once

#include <string>

class StepAside;
class TunerSession;

// What the icon's tip and the menu's second line say of the program's
// state: listening, paused, waiting, failed and why, or aside for which
// programs, and which programs read the remote beside it.
std::string TipText(const TunerSession& tuner, const StepAside& aside);
std::string StatusText(const TunerSession& tuner, const StepAside& aside);
