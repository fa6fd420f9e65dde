#include "StateText.h"

#include "StepAside.h"
#include "Strings.h"
#include "TunerSession.h"

namespace {

std::string TunerTip(const TunerSession& tuner, const StepAside& aside)
{
    switch (tuner.state()) {
    case TunerState::Listening:
        return aside.HasReaders() ? aside.ReadersText(strings::kTipShared)
                                  : strings::kTipListening;
    case TunerState::Paused:
        return strings::kTipPaused;
    case TunerState::Waiting:
        return strings::kTipWaiting;
    case TunerState::Aside:
        return aside.ReadersText(strings::kTipAside);
    case TunerState::Failed:
        break;
    }
    return strings::kTipFailed;
}

std::string TunerStatus(const TunerSession& tuner, const StepAside& aside)
{
    switch (tuner.state()) {
    case TunerState::Listening:
        return aside.HasReaders() ? aside.ReadersText(strings::kMenuShared)
                                  : strings::kMenuListening;
    case TunerState::Paused:
        return strings::kMenuPaused;
    case TunerState::Waiting:
        return strings::kMenuWaiting;
    case TunerState::Aside:
        return aside.ReadersText(strings::kMenuAside);
    case TunerState::Failed:
        break;
    }
    return strings::kMenuFailedPrefix + tuner.failure();
}

} // namespace

std::string TipText(const TunerSession& tuner, const StepAside& aside, const std::string& mode)
{
    std::string tip = TunerTip(tuner, aside);
    return mode.empty() ? tip : tip + strings::kModeAfter + mode + strings::kModeDisplay;
}

std::string StatusText(const TunerSession& tuner, const StepAside& aside,
                       const std::string& mode)
{
    std::string status = TunerStatus(tuner, aside);
    return mode.empty() ? status : status + strings::kModeAfter + mode + strings::kModeDisplay;
}
