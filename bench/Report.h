#pragma once

// The figures of a run, their goals, the printed table and build/bench.json.

#include <string>
#include <vector>

#include "HeapCalls.h"
#include "IdleCpu.h"
#include "InitScaling.h"
#include "KeyLatency.h"
#include "KeysActions.h"
#include "KeysProgram.h"
#include "LircBroadcast.h"
#include "Machine.h"
#include "Stats.h"
#include "UnInitCost.h"

namespace bench {

struct Results {
    KeyFigures keys;
    UnInitFigures uninit;
    InitFigures init;
    IdleCpuFigures cpu;
    HeapFigures heap;
    KeysProgramFigures keysProgram;
    KeysActionFigures keysActions;
    LircFigures lirc;
    RunErrors errors;
};

struct Goal {
    bool met;
    std::string text;
};

std::vector<Goal> Goals(const Results& r);

// The machine, the figures beside their floors, the goals and any run errors.
// True when every goal is met.
bool PrintReport(const Machine& machine, unsigned seed, const Results& r,
                 const std::vector<Goal>& goals);

// False, with a message, when the file cannot be written.
bool WriteJson(const std::string& path, const Machine& machine, unsigned seed, bool quick,
               const Results& r, const std::vector<Goal>& goals, bool allMet);

} // namespace bench
