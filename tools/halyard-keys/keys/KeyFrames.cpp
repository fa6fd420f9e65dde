#include "KeyFrames.h"

KeyEvent KeyFrames::Event(KeyEvent::Kind kind) const
{
    KeyEvent event;
    event.kind = kind;
    event.code = code_;
    event.repeat = repeat_;
    event.heldMs = lastAt_ - pressedAt_;
    return event;
}

void KeyFrames::Frame(unsigned code, DWORD now, std::vector<KeyEvent>* events)
{
    if (inHand_ && code == code_ && now - lastAt_ < timing_.guardMs) {
        lastAt_ = now;
        ++repeat_;
        events->push_back(Event(KeyEvent::Kind::Repeat));
        if (!long_ && now - pressedAt_ >= timing_.longPressMs) {
            long_ = true;
            events->push_back(Event(KeyEvent::Kind::Long));
        }
        return;
    }
    if (inHand_)
        events->push_back(Event(KeyEvent::Kind::Release));
    inHand_ = true;
    long_ = false;
    code_ = code;
    repeat_ = 0;
    pressedAt_ = lastAt_ = now;
    events->push_back(Event(KeyEvent::Kind::Press));
}

void KeyFrames::Tick(DWORD now, std::vector<KeyEvent>* events)
{
    if (!inHand_ || now - lastAt_ < timing_.guardMs)
        return;
    events->push_back(Event(KeyEvent::Kind::Release));
    inHand_ = false;
}

DWORD KeyFrames::WaitMs(DWORD now) const
{
    if (!inHand_)
        return INFINITE;
    DWORD elapsed = now - lastAt_;
    return elapsed >= timing_.guardMs ? 0 : timing_.guardMs - elapsed;
}

void KeyFrames::Cancel(std::vector<KeyEvent>* events)
{
    events->push_back(Event(KeyEvent::Kind::Cancel));
    inHand_ = false;
}
