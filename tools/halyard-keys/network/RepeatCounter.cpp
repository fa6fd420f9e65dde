#include "RepeatCounter.h"

void RepeatCounter::SetGuardMs(DWORD guardMs)
{
    KeyStateMachine::Timing timing;
    timing.guardMs = guardMs;
    machine_.SetTiming(timing);
}

unsigned RepeatCounter::Frame(unsigned code, DWORD now)
{
    count_ = machine_.Continues(code, now) ? count_ + 1 : 0;
    unused_.clear();
    machine_.Arrive(code, nullptr, now, &unused_);
    return count_;
}
