#include "PointerNames.h"

#include "Words.h"

namespace {

struct Named {
    PointerAction action;
    const char* name;
};

const Named kNames[] = {
    {PointerAction::Up, "up"},
    {PointerAction::Down, "down"},
    {PointerAction::Left, "left"},
    {PointerAction::Right, "right"},
    {PointerAction::UpLeft, "up left"},
    {PointerAction::UpRight, "up right"},
    {PointerAction::DownLeft, "down left"},
    {PointerAction::DownRight, "down right"},
    {PointerAction::Click, "click"},
    {PointerAction::RightClick, "right click"},
    {PointerAction::MiddleClick, "middle click"},
    {PointerAction::DoubleClick, "double click"},
    {PointerAction::WheelUp, "wheel up"},
    {PointerAction::WheelDown, "wheel down"},
    {PointerAction::Drag, "drag"},
};

// "Right   Click" reads as "right click".
std::string OneSpaced(const std::string& words)
{
    std::string text;
    bool space = false;
    for (char c : TrimSpace(words)) {
        if (c == ' ' || c == '\t') {
            space = true;
            continue;
        }
        if (space)
            text += ' ';
        space = false;
        text += c;
    }
    return text;
}

} // namespace

bool IsPointerMove(PointerAction action)
{
    return action <= PointerAction::DownRight;
}

bool LookUpPointerAction(const std::string& words, PointerAction* action)
{
    std::string spaced = OneSpaced(words);
    for (const Named& named : kNames) {
        if (SameWord(spaced, named.name)) {
            *action = named.action;
            return true;
        }
    }
    return false;
}

std::string PointerActionName(PointerAction action)
{
    for (const Named& named : kNames) {
        if (named.action == action)
            return named.name;
    }
    return std::string();
}

std::string PointerActionNames()
{
    std::string text;
    for (const Named& named : kNames)
        text += (text.empty() ? "" : ", ") + std::string(named.name);
    return text;
}
