#include "KeyStateMachine.h"

namespace {

// Fast repeats: how many actions one frame is worth after so long held.
const DWORD kFastTwiceAfterMs = 1000;
const DWORD kFastThriceAfterMs = 2000;

unsigned RepeatTimes(Repeat repeat, DWORD heldMs)
{
    if (repeat != Repeat::Fast || heldMs < kFastTwiceAfterMs)
        return 1;
    return heldMs < kFastThriceAfterMs ? 2 : 3;
}

} // namespace

void KeyStateMachine::Reset()
{
    phase_ = Phase::Idle;
    mapping_ = nullptr;
}

bool KeyStateMachine::Continues(unsigned code, DWORD now) const
{
    // Unsigned difference: right across the tick count's wrap after 49 days.
    return phase_ != Phase::Idle && code == code_ && now - lastAt_ < timing_.guardMs;
}

bool KeyStateMachine::AwaitsRelease() const
{
    return phase_ != Phase::Idle && phase_ != Phase::Long && mapping_ && mapping_->hasLong;
}

void KeyStateMachine::Release(std::vector<DueAction>* due)
{
    if (AwaitsRelease())
        due->push_back({&mapping_->action, 1, false});
    Reset();
}

void KeyStateMachine::Arrive(unsigned code, const KeyMapping* mapping, DWORD now,
                             std::vector<DueAction>* due)
{
    if (Continues(code, now)) {
        lastAt_ = now;
        if (phase_ == Phase::Long)
            return; // done until the key is released
        phase_ = Phase::Held;
        DWORD heldMs = now - pressedAt_;
        if (!mapping_)
            return;
        if (mapping_->hasLong) {
            if (heldMs >= timing_.longPressMs) {
                phase_ = Phase::Long;
                due->push_back({&mapping_->longAction, 1, true});
            }
        } else if (mapping_->repeat != Repeat::Off && heldMs >= timing_.repeatDelayMs) {
            due->push_back({&mapping_->action, RepeatTimes(mapping_->repeat, heldMs), false});
        }
        return;
    }
    Release(due);
    phase_ = Phase::Pressed;
    code_ = code;
    mapping_ = mapping;
    pressedAt_ = lastAt_ = now;
    if (mapping_ && !mapping_->hasLong)
        due->push_back({&mapping_->action, 1, false});
}

void KeyStateMachine::Tick(DWORD now, std::vector<DueAction>* due)
{
    if (phase_ != Phase::Idle && now - lastAt_ >= timing_.guardMs)
        Release(due);
}

DWORD KeyStateMachine::WaitMs(DWORD now) const
{
    if (!AwaitsRelease())
        return INFINITE;
    DWORD elapsed = now - lastAt_;
    return elapsed >= timing_.guardMs ? 0 : timing_.guardMs - elapsed;
}
