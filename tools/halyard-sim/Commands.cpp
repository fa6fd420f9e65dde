#include "Commands.h"

#include <stdio.h>

#include <memory>

#include "ExitCodes.h"
#include "Messages.h"
#include "ScriptPlayer.h"
#include "SimScript.h"
#include "TunerAccess.h"

using simtuner::TunerState;

namespace {

const char* Plural(unsigned count, const char* ending)
{
    return count == 1 ? "" : ending;
}

// The key a hold holds down, for a Ctrl+C to let go of.
struct HeldKey {
    std::shared_ptr<TunerState> tuner;
    uint64_t until = 0;
} held;

BOOL WINAPI ReleaseOnInterrupt(DWORD)
{
    if (held.tuner)
        held.tuner->Release(held.until);
    return FALSE; // and the default handler ends the process
}

// The frame of <custom code> <key> [<fourth>]; false when the fields are
// wrong, which it reports.
bool ParseFrame(const std::vector<std::string>& fields, simtuner::Frame* frame)
{
    simtuner::Press press;
    std::string error;
    if (!simtuner::ParsePress(fields, &press, &error)) {
        Report("%s (see --help)", error.c_str());
        return false;
    }
    *frame = simtuner::MakeFrame(press.customCode, press.key, press.fourth);
    return true;
}

} // namespace

int PressCommand(const std::vector<std::string>& args)
{
    simtuner::Frame frame;
    if (!ParseFrame(args, &frame))
        return kSimExitUsage;
    std::shared_ptr<TunerState> tuner;
    int opened = OpenTuner(true, &tuner);
    if (opened != kSimExitOk)
        return opened;

    TunerState::Result result = tuner->Push(frame);
    if (result != TunerState::Result::Ok)
        return Refused(result);
    printf(text::kQueued, frame[0], frame[1], frame[2], frame[3]);
    fflush(stdout);
    WarnIfNobodyReads(tuner.get());
    return kSimExitOk;
}

int HoldCommand(const std::vector<std::string>& args)
{
    DWORD ms = 0;
    if (!simtuner::ParseMilliseconds(args.back(), &ms)) {
        Report(text::kBadMilliseconds, args.back().c_str());
        return kSimExitUsage;
    }
    simtuner::Frame frame;
    if (!ParseFrame(std::vector<std::string>(args.begin(), args.end() - 1), &frame))
        return kSimExitUsage;
    std::shared_ptr<TunerState> tuner;
    int opened = OpenTuner(true, &tuner);
    if (opened != kSimExitOk)
        return opened;

    // The generation tells, at the end, whether the tuner went away meanwhile.
    uint32_t generation = 0;
    uint64_t until = 0;
    TunerState::Result result = tuner->Bind(&generation);
    if (result == TunerState::Result::Ok)
        result = tuner->Hold(frame, ms, &until);
    if (result != TunerState::Result::Ok)
        return Refused(result);
    printf(text::kHolding, frame[0], frame[1], frame[2], frame[3], static_cast<unsigned long>(ms));
    fflush(stdout);
    WarnIfNobodyReads(tuner.get());

    // Held for the whole time, so that a script goes on once the key is up,
    // and so that the state lives while no host holds it.
    held.tuner = tuner;
    held.until = until;
    SetConsoleCtrlHandler(ReleaseOnInterrupt, TRUE);
    Sleep(ms);
    SetConsoleCtrlHandler(ReleaseOnInterrupt, FALSE);
    held.tuner.reset();

    tuner->Release(until);
    if (tuner->Alive(generation) == TunerState::Result::Stale) {
        Report("%s", text::kUnpluggedWhileHeld);
        return kSimExitUnplugged;
    }
    printf(text::kReleased, frame[0], frame[1], frame[2], frame[3]);
    return kSimExitOk;
}

int PlayCommand(const std::vector<std::string>& args)
{
    const std::string& scriptPath = args.front();
    std::vector<simtuner::Press> presses;
    std::string error;
    if (!simtuner::LoadScript(scriptPath.c_str(), &presses, &error)) {
        Report(text::kScriptFault, scriptPath.c_str(), error.c_str());
        return kSimExitScript;
    }
    std::shared_ptr<TunerState> tuner;
    int opened = OpenTuner(true, &tuner);
    if (opened != kSimExitOk)
        return opened;
    WarnIfNobodyReads(tuner.get());

    simtuner::ScriptPlayer player(tuner);
    player.Play(presses);
    player.Wait();
    size_t index = 0;
    TunerState::Result result = player.Outcome(&index);
    if (result != TunerState::Result::Ok)
        return Refused(result, index, true);
    unsigned count = static_cast<unsigned>(presses.size());
    printf(text::kPlayed, count, Plural(count, "es"));
    return kSimExitOk;
}

int StatusCommand(const std::vector<std::string>&)
{
    // Made when missing, so that an unplugged tuner reads as such (UnpluggedMark.h).
    std::shared_ptr<TunerState> tuner;
    int opened = OpenTuner(true, &tuner);
    if (opened != kSimExitOk)
        return opened;

    TunerState::Status status;
    TunerState::Result result = tuner->GetStatus(&status);
    if (result != TunerState::Result::Ok)
        return Refused(result);
    printf(text::kStatusFrames, status.pending, TunerState::kCapacity);
    if (tuner->Created())
        printf("%s", text::kStatusNotOpen);
    else if (!status.everRead)
        printf("%s", text::kStatusNeverRead);
    else if (status.msSinceRead <= kListeningMs)
        printf(text::kStatusReading, static_cast<unsigned>(status.msSinceRead));
    else
        printf(text::kStatusStale, status.msSinceRead / 1000.0);
    printf("%s", status.plugged ? text::kStatusPluggedIn : text::kStatusUnplugged);
    if (status.held)
        printf(text::kStatusHeld, status.heldFrame[0], status.heldFrame[1], status.heldFrame[2],
               status.heldFrame[3], status.heldMsLeft / 1000.0);
    return kSimExitOk;
}

int ClearCommand(const std::vector<std::string>&)
{
    std::shared_ptr<TunerState> tuner;
    TunerState::OpenStatus status;
    int opened = OpenTuner(false, &tuner, &status);
    uint32_t cleared = 0;
    if (opened == kSimExitOk) {
        TunerState::Result result = tuner->Clear(&cleared);
        if (result != TunerState::Result::Ok)
            return Refused(result);
    } else if (status != TunerState::OpenStatus::NotFound) {
        return opened;
    }
    printf(text::kCleared, cleared, Plural(cleared, "s"));
    return kSimExitOk;
}
