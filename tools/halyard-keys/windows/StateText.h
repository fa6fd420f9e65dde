#pragma once

#include <string>

class StepAside;
class TunerSession;

// What the icon's tip and the menu's second line say of the program's
// state: listening, paused, waiting, failed and why, or aside for which
// programs, and which programs read the remote beside it; and the key map's
// mode, where one is on (empty: none).
std::string TipText(const TunerSession& tuner, const StepAside& aside, const std::string& mode);
std::string StatusText(const TunerSession& tuner, const StepAside& aside,
                       const std::string& mode);
