#include "KeyPath.h"

KeyPath::~KeyPath()
{
    if (timerArmed_ && window_)
        KillTimer(window_, timerId_);
}

void KeyPath::Listen(Stage stage, KeyListener* listener)
{
    auto at = listeners_.begin();
    while (at != listeners_.end() && at->stage <= stage)
        ++at;
    listeners_.insert(at, {stage, listener});
}

void KeyPath::Frame(unsigned code, DWORD now)
{
    events_.clear();
    frames_.Frame(code, now, &events_);
    Deliver();
    ArmTimer(now);
}

bool KeyPath::OnTimer(UINT_PTR id, DWORD now)
{
    if (id != timerId_)
        return false;
    Tick(now);
    return true;
}

void KeyPath::Tick(DWORD now)
{
    events_.clear();
    frames_.Tick(now, &events_);
    Deliver();
    ArmTimer(now);
}

void KeyPath::Cancel()
{
    if (delivering_) {
        cancelAfter_ = true; // a listener's doing: once the event in hand has been heard
        return;
    }
    events_.clear();
    frames_.Cancel(&events_);
    Deliver();
    ArmTimer(0);
}

void KeyPath::Deliver()
{
    delivering_ = true;
    for (const KeyEvent& event : events_) {
        KeyHandling handling;
        bool cancel = event.kind == KeyEvent::Kind::Cancel;
        for (const Entry& entry : listeners_) {
            bool consumer = entry.stage == Stage::Capture || entry.stage == Stage::Act;
            if (consumer && handling.taken && !cancel)
                continue;
            entry.listener->OnKey(event, &handling);
        }
    }
    delivering_ = false;
    if (cancelAfter_) {
        cancelAfter_ = false;
        Cancel();
    }
}

// Only while a key is in hand: idle, the path sets no timer.
void KeyPath::ArmTimer(DWORD now)
{
    DWORD wait = frames_.WaitMs(now);
    if (!window_)
        return;
    if (wait == INFINITE) {
        if (timerArmed_)
            KillTimer(window_, timerId_);
        timerArmed_ = false;
        return;
    }
    SetTimer(window_, timerId_, wait ? wait : USER_TIMER_MINIMUM, nullptr);
    timerArmed_ = true;
}
