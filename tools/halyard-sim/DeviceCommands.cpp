// The device commands: the tuner goes and comes back, and the session's
// windows are told as Windows tells them. The state changes before the
// notice of a device change, as a removed device is gone before the system
// announces it, and after the notice of a suspend, which programs get while
// their devices still work.

#include <stdio.h>
#include <stdlib.h>

#include <memory>

#include "Announce.h"
#include "Commands.h"
#include "ExitCodes.h"
#include "Messages.h"
#include "SimScript.h"
#include "TunerAccess.h"

using simtuner::TunerState;

namespace {

void Say(const char* line)
{
    printf("%s", line);
    fflush(stdout);
}

// args: empty, or the one option and its milliseconds.
bool ParseOption(const std::vector<std::string>& args, const char* option, const char* usage,
                 DWORD* ms, int* exitCode)
{
    *ms = 0;
    if (args.empty())
        return true;
    if (args.size() != 2 || args[0] != option) {
        Report("%s (see --help)", usage);
        *exitCode = kSimExitUsage;
        return false;
    }
    if (!simtuner::ParseMilliseconds(args[1], ms)) {
        Report(text::kBadMilliseconds, args[1].c_str());
        *exitCode = kSimExitUsage;
        return false;
    }
    return true;
}

// Unplugs or plugs, announcing a change; a tuner already so is left alone
// and nobody is told, as no device changed.
int Change(TunerState* tuner, bool plug)
{
    bool changed = false;
    TunerState::Result result = plug ? tuner->Plug(&changed) : tuner->Unplug(&changed);
    if (result != TunerState::Result::Ok)
        return Refused(result);
    if (changed)
        AnnounceDevicesChanged();
    if (plug)
        Say(changed ? text::kNowPluggedIn : text::kStillPluggedIn);
    else
        Say(changed ? text::kNowUnplugged : text::kStillUnplugged);
    return kSimExitOk;
}

int ChangeCommand(bool plug)
{
    std::shared_ptr<TunerState> tuner;
    int code = OpenTuner(true, &tuner);
    return code == kSimExitOk ? Change(tuner.get(), plug) : code;
}

} // namespace

int UnplugCommand(const std::vector<std::string>&)
{
    return ChangeCommand(false);
}

int PlugCommand(const std::vector<std::string>&)
{
    return ChangeCommand(true);
}

int ReplugCommand(const std::vector<std::string>& args)
{
    DWORD gap = 0;
    int code = kSimExitOk;
    if (!ParseOption(args, "--gap", text::kReplugArguments, &gap, &code))
        return code;
    std::shared_ptr<TunerState> tuner;
    code = OpenTuner(true, &tuner);
    if (code == kSimExitOk)
        code = Change(tuner.get(), false);
    if (code != kSimExitOk)
        return code;
    Sleep(gap);
    return Change(tuner.get(), true);
}

int ResumeCommand(const std::vector<std::string>& args)
{
    DWORD late = 0;
    int code = kSimExitOk;
    if (!ParseOption(args, "--late", text::kResumeArguments, &late, &code))
        return code;
    std::shared_ptr<TunerState> tuner;
    code = OpenTuner(true, &tuner);
    if (code != kSimExitOk)
        return code;

    AnnouncePower(PBT_APMSUSPEND);
    // Asleep, the USB device loses power: every interface to it is stale after.
    bool wasPlugged = false;
    TunerState::Result result = tuner->Unplug(&wasPlugged);
    if (result != TunerState::Result::Ok)
        return Refused(result);
    Say(text::kSuspended);
    if (!wasPlugged) {
        // A sleep plugs in no cable.
        AnnouncePower(PBT_APMRESUMEAUTOMATIC);
        Say(text::kResumed);
        Report("%s", text::kStaysUnplugged);
        return kSimExitOk;
    }

    // Without a delay the device is back by the time the system says it woke.
    if (late == 0 && (result = tuner->Plug()) != TunerState::Result::Ok)
        return Refused(result);
    AnnouncePower(PBT_APMRESUMEAUTOMATIC);
    if (late == 0) {
        Say(text::kResumed);
    } else {
        printf(text::kResumedTunerLate, static_cast<unsigned long>(late));
        fflush(stdout);
        Sleep(late);
        if ((result = tuner->Plug()) != TunerState::Result::Ok)
            return Refused(result);
    }
    AnnounceDevicesChanged();
    Say(text::kNowPluggedIn);
    return kSimExitOk;
}
