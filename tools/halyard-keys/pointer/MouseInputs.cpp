#include "MouseInputs.h"

INPUT MouseEvent(DWORD flags, DWORD data)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.mouseData = data;
    return input;
}

DWORD ButtonUpFlag(DWORD flags)
{
    if (flags & MOUSEEVENTF_LEFTDOWN)
        return MOUSEEVENTF_LEFTUP;
    if (flags & MOUSEEVENTF_RIGHTDOWN)
        return MOUSEEVENTF_RIGHTUP;
    if (flags & MOUSEEVENTF_MIDDLEDOWN)
        return MOUSEEVENTF_MIDDLEUP;
    return 0;
}

std::vector<INPUT> PointerInputs(PointerAction action, bool dragging)
{
    switch (action) {
    case PointerAction::Click:
        if (dragging)
            return {MouseEvent(MOUSEEVENTF_LEFTUP)};
        return {MouseEvent(MOUSEEVENTF_LEFTDOWN), MouseEvent(MOUSEEVENTF_LEFTUP)};
    case PointerAction::Drag:
        return {MouseEvent(dragging ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN)};
    case PointerAction::RightClick:
        return {MouseEvent(MOUSEEVENTF_RIGHTDOWN), MouseEvent(MOUSEEVENTF_RIGHTUP)};
    case PointerAction::MiddleClick:
        return {MouseEvent(MOUSEEVENTF_MIDDLEDOWN), MouseEvent(MOUSEEVENTF_MIDDLEUP)};
    case PointerAction::DoubleClick: {
        // Both clicks in one SendInput: the same time and place, well
        // within the double-click time, whatever the user set.
        std::vector<INPUT> inputs;
        if (dragging)
            inputs.push_back(MouseEvent(MOUSEEVENTF_LEFTUP));
        for (int i = 0; i < 2; ++i) {
            inputs.push_back(MouseEvent(MOUSEEVENTF_LEFTDOWN));
            inputs.push_back(MouseEvent(MOUSEEVENTF_LEFTUP));
        }
        return inputs;
    }
    case PointerAction::WheelUp:
        return {MouseEvent(MOUSEEVENTF_WHEEL, WHEEL_DELTA)};
    case PointerAction::WheelDown:
        return {MouseEvent(MOUSEEVENTF_WHEEL, static_cast<DWORD>(-WHEEL_DELTA))};
    default:
        return {}; // the moves are PointerMotion's
    }
}
