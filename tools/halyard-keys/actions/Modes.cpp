#include "Modes.h"

bool Modes::Set(const std::string& mode)
{
    bool changed = mode != current_;
    current_ = mode;
    return changed;
}

bool Modes::Enter(const std::string& mode, bool once)
{
    if (once && !once_)
        before_ = current_;
    once_ = once;
    return Set(mode);
}

bool Modes::KeyPressed()
{
    if (!once_)
        return false;
    once_ = false;
    return Set(before_);
}

bool Modes::MapChanged(const KeyMap& map)
{
    if (!started_) {
        started_ = true;
        return Set(map.ModeName(map.startMode));
    }
    once_ = false;
    if (!current_.empty() && !map.HasMode(current_))
        return Set(map.ModeName(map.startMode));
    return false;
}
