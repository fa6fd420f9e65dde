#include "KeyDispatcher.h"

#include "KeyInput.h"
#include "RunCommand.h"
#include "Strings.h"

KeyDispatcher::KeyDispatcher() : guard_(kDefaultRepeatGuardMs), lastKey_(strings::kMenuNoKeyYet)
{
}

void KeyDispatcher::SetMap(KeyMap map)
{
    map_ = std::move(map);
    guard_.SetGuardMs(map_.repeatGuardMs);
    guard_.Reset();
}

const KeyAction* KeyDispatcher::Arrive(unsigned code, DWORD now)
{
    const KeyMapping* mapping = map_.Find(code);
    // Keys not mapped count too: one in between ends a hold.
    bool due = guard_.Admit(code, now, mapping && mapping->action.repeat);
    lastKey_ = strings::kMenuLastKey + DescribeCode(code) +
               (mapping ? " = " + DescribeAction(mapping->action) : strings::kNotMapped) +
               (mapping && !due ? strings::kHeld : "");
    return mapping && due ? &mapping->action : nullptr;
}

bool PerformAction(const KeyAction& action, std::string* title, std::string* text)
{
    std::string error;
    if (action.kind == KeyAction::Kind::Keys) {
        if (SendKeyStroke(action.keys, &error))
            return true;
        *title = strings::kSendFailedTitle;
        *text = DescribeAction(action) + ": " + error;
        return false;
    }
    if (RunCommand(action.command, &error))
        return true;
    *title = strings::kRunFailedTitle;
    *text = action.command + "\n" + error;
    return false;
}
