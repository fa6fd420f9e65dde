#include "TunerRecovery.h"

namespace {

// Tick counts wrap after 49 days: compare by signed difference.
bool Reached(DWORD now, DWORD at)
{
    return static_cast<LONG>(now - at) >= 0;
}

} // namespace

void TunerRecovery::Started()
{
    state_ = State::Running;
    pending_ = settling_ = false;
    retryMs_ = kFirstRetryMs;
}

void TunerRecovery::NoTuner(DWORD now)
{
    state_ = State::Waiting;
    settling_ = false;
    pending_ = true;
    dueAt_ = now + retryMs_;
    retryMs_ = retryMs_ * 2 > kLastRetryMs ? kLastRetryMs : retryMs_ * 2;
}

void TunerRecovery::Stopped()
{
    state_ = State::Off;
    pending_ = settling_ = false;
    retryMs_ = kFirstRetryMs;
}

void TunerRecovery::Resumed(DWORD now)
{
    Settle(now);
}

void TunerRecovery::DeviceChanged(DWORD now)
{
    // A tuner just plugged in may take its driver a moment to start: the
    // retries after a change begin short again.
    if (state_ == State::Waiting)
        retryMs_ = kFirstRetryMs;
    Settle(now);
}

void TunerRecovery::Settle(DWORD now)
{
    if (state_ == State::Off)
        return;
    DWORD at = now + kSettleMs;
    // A retry due sooner stays: it sees the change as well.
    if (pending_ && !settling_ && !Reached(dueAt_, at))
        return;
    if (!settling_) {
        settling_ = true;
        settleStart_ = now;
    }
    DWORD latest = settleStart_ + kMaxSettleMs;
    dueAt_ = Reached(at, latest) ? latest : at;
    pending_ = true;
}

TunerRecovery::Attempt TunerRecovery::Due(DWORD now)
{
    if (!pending_ || !Reached(now, dueAt_))
        return Attempt::None;
    pending_ = settling_ = false;
    return state_ == State::Running ? Attempt::Restart
           : state_ == State::Waiting ? Attempt::Start
                                      : Attempt::None;
}

DWORD TunerRecovery::WaitMs(DWORD now) const
{
    if (!pending_)
        return INFINITE;
    return Reached(now, dueAt_) ? 0 : dueAt_ - now;
}
