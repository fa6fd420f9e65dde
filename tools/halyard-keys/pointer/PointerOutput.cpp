#include "PointerOutput.h"

#include <windows.h>

void SystemPointerOutput::MoveBy(int dx, int dy)
{
    POINT at;
    if (!GetCursorPos(&at))
        return;
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int right = left + GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1;
    int bottom = top + GetSystemMetrics(SM_CYVIRTUALSCREEN) - 1;
    long x = at.x + dx, y = at.y + dy;
    x = x < left ? left : x > right ? right : x;
    y = y < top ? top : y > bottom ? bottom : y;
    SetCursorPos(static_cast<int>(x), static_cast<int>(y));
}
