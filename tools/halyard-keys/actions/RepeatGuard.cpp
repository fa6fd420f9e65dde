#include "RepeatGuard.h"

bool RepeatGuard::Admit(unsigned code, DWORD now, bool repeats)
{
    // Unsigned difference: right across the tick count's wrap after 49 days.
    bool held = hasLast_ && code == lastCode_ && now - lastAt_ < guardMs_;
    // Every arrival renews the hold, so a key held for seconds stays held.
    hasLast_ = true;
    lastCode_ = code;
    lastAt_ = now;
    return repeats || !held;
}
