#include "TunerAccess.h"

#include <stdarg.h>
#include <stdio.h>

#include <string>

#include "ExitCodes.h"
#include "Messages.h"

using simtuner::TunerState;

void Report(const char* format, ...)
{
    fprintf(stderr, "%s: ", text::kTool);
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    fputc('\n', stderr);
    fflush(stderr);
}

int OpenTuner(bool create, std::shared_ptr<TunerState>* tuner, TunerState::OpenStatus* status)
{
    std::string error;
    TunerState::OpenStatus opened = TunerState::OpenShared(create, tuner, &error);
    if (status)
        *status = opened;
    if (opened == TunerState::OpenStatus::Ok)
        return kSimExitOk;
    if (opened != TunerState::OpenStatus::NotFound)
        Report("%s", error.c_str());
    return opened == TunerState::OpenStatus::Mismatch ? kSimExitMismatch : kSimExitFailure;
}

int Refused(TunerState::Result result, size_t press, bool inScript)
{
    const unsigned number = static_cast<unsigned>(press + 1);
    switch (result) {
    case TunerState::Result::Full:
        if (inScript)
            Report(text::kFullInScript, TunerState::kCapacity, number);
        else
            Report(text::kFull, TunerState::kCapacity);
        return kSimExitQueueFull;
    case TunerState::Result::Unplugged:
        if (inScript)
            Report(text::kUnpluggedInScript, number);
        else
            Report("%s", text::kUnplugged);
        return kSimExitUnplugged;
    default:
        Report("%s", text::kBusy);
        return kSimExitFailure;
    }
}

void WarnIfNobodyReads(TunerState* tuner)
{
    if (tuner->Created()) {
        Report("%s", text::kNobodyOpen);
        return;
    }
    TunerState::Status status;
    if (tuner->GetStatus(&status) == TunerState::Result::Ok &&
        (!status.everRead || status.msSinceRead > kListeningMs))
        Report("%s", text::kNobodyReading);
}
