#pragma once

// What every command of halyard-sim does with the session's tuner: open it,
// and turn its refusals into a message and an exit code (ExitCodes.h).

#include <stddef.h>

#include <memory>

#include "TunerState.h"

// A host polls every 250 ms; a second without a read means none is polling.
const uint64_t kListeningMs = 1000;

// "halyard-sim: <text>" on stderr.
void Report(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));

// kSimExitOk with *tuner set, or the exit code of the reported failure;
// NotFound is a failure too, so a caller that takes it otherwise creates.
int OpenTuner(bool create, std::shared_ptr<simtuner::TunerState>* tuner,
              simtuner::TunerState::OpenStatus* status = nullptr);

// A refusal as its exit code; press is the script's index when inScript.
int Refused(simtuner::TunerState::Result result, size_t press = 0, bool inScript = false);

// Frames and held keys reach a host only while one reads the tuner.
void WarnIfNobodyReads(simtuner::TunerState* tuner);
