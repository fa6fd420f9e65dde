#include "StateText.h"

#include "StepAside.h"
#include "Strings.h"
#include "TunerSession.h"

std::string TipText(const TunerSession& tuner, const StepAside& aside)
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

std::string StatusText(const TunerSession& tuner, const StepAside& aside)
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
