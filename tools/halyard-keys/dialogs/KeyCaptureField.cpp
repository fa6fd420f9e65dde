#include "KeyCaptureField.h"

#include <commctrl.h>

#include "KeyNames.h"
#include "Text.h"

namespace {

const UINT_PTR kSubclassId = 1;

bool Held(int vk)
{
    return (GetKeyState(vk) & 0x8000) != 0;
}

LRESULT CALLBACK CaptureProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR)
{
    switch (msg) {
    case WM_GETDLGCODE: {
        const MSG* pending = reinterpret_cast<const MSG*>(lParam);
        bool keyDown = pending &&
                       (pending->message == WM_KEYDOWN || pending->message == WM_SYSKEYDOWN);
        if (keyDown && pending->wParam != VK_TAB)
            return DLGC_WANTALLKEYS | DLGC_WANTMESSAGE;
        return DefSubclassProc(edit, msg, wParam, lParam);
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        std::string text = CombinationFor(static_cast<WORD>(wParam), Held(VK_CONTROL),
                                          Held(VK_MENU), Held(VK_SHIFT),
                                          Held(VK_LWIN) || Held(VK_RWIN));
        SetWindowTextW(edit, Widen(text).c_str());
        SendMessageW(edit, EM_SETSEL, text.size(), text.size());
        // The dialog hears of the change, as of typing.
        SendMessageW(GetParent(edit), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(edit), EN_CHANGE), reinterpret_cast<LPARAM>(edit));
        return 0;
    }
    // Nothing is typed, pasted or cut: the text is only ever a combination.
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case WM_CONTEXTMENU:
        return 0;
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, CaptureProc, kSubclassId);
        break;
    }
    return DefSubclassProc(edit, msg, wParam, lParam);
}

bool IsModifier(WORD vk)
{
    switch (vk) {
    case VK_CONTROL: case VK_LCONTROL: case VK_RCONTROL:
    case VK_MENU: case VK_LMENU: case VK_RMENU:
    case VK_SHIFT: case VK_LSHIFT: case VK_RSHIFT:
    case VK_LWIN: case VK_RWIN:
        return true;
    }
    return false;
}

} // namespace

bool AttachKeyCapture(HWND edit)
{
    return SetWindowSubclass(edit, CaptureProc, kSubclassId, 0) != FALSE;
}

std::string CombinationFor(WORD vk, bool ctrl, bool alt, bool shift, bool win)
{
    std::string text;
    auto add = [&](bool held, WORD modifier) {
        if (held)
            text += (text.empty() ? "" : "+") + KeyName(modifier);
    };
    // The map's order: the modifiers first, the key last.
    add(ctrl || vk == VK_CONTROL || vk == VK_LCONTROL || vk == VK_RCONTROL, VK_CONTROL);
    add(alt || vk == VK_MENU || vk == VK_LMENU || vk == VK_RMENU, VK_MENU);
    add(shift || vk == VK_SHIFT || vk == VK_LSHIFT || vk == VK_RSHIFT, VK_SHIFT);
    add(win || vk == VK_LWIN || vk == VK_RWIN, VK_LWIN);
    if (!IsModifier(vk))
        text += (text.empty() ? "" : "+") + KeyName(vk);
    return text;
}
