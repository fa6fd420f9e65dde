#include "TrayIcon.h"

#include <wchar.h>
#include <windowsx.h>

#include "Text.h"

namespace {

const UINT kIconId = 1;

void Copy(wchar_t* to, size_t size, const std::wstring& from)
{
    wcsncpy(to, from.c_str(), size - 1);
    to[size - 1] = L'\0';
}

} // namespace

NOTIFYICONDATAW TrayIcon::Data(UINT flags) const
{
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = hwnd_;
    data.uID = kIconId;
    data.uFlags = flags;
    data.uCallbackMessage = callbackMessage_;
    data.hIcon = icon_;
    Copy(data.szTip, sizeof(data.szTip) / sizeof(data.szTip[0]), tip_);
    return data;
}

bool TrayIcon::Add(HICON icon, const std::string& tip)
{
    icon_ = icon;
    tip_ = Widen(tip);
    NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
    Shell_NotifyIconW(NIM_DELETE, &data); // a re-created taskbar may still have it
    added_ = Shell_NotifyIconW(NIM_ADD, &data) != 0;
    // Version 4 sends the menu request for the keyboard too (Shift+F10).
    data.uVersion = NOTIFYICON_VERSION_4;
    version4_ = added_ && Shell_NotifyIconW(NIM_SETVERSION, &data);
    return added_;
}

void TrayIcon::Update(HICON icon, const std::string& tip)
{
    icon_ = icon;
    tip_ = Widen(tip);
    if (!added_)
        return;
    NOTIFYICONDATAW data = Data(NIF_ICON | NIF_TIP | NIF_SHOWTIP);
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

unsigned TrayIcon::Notify(const std::string& title, const std::string& text, Kind kind)
{
    if (!added_)
        return 0;
    NOTIFYICONDATAW data = Data(NIF_INFO);
    Copy(data.szInfoTitle, sizeof(data.szInfoTitle) / sizeof(data.szInfoTitle[0]), Widen(title));
    Copy(data.szInfo, sizeof(data.szInfo) / sizeof(data.szInfo[0]), Widen(text));
    data.dwInfoFlags = kind == Kind::Error     ? NIIF_ERROR
                       : kind == Kind::Warning ? NIIF_WARNING
                                               : NIIF_INFO;
    Shell_NotifyIconW(NIM_MODIFY, &data);
    return ++notifications_;
}

void TrayIcon::Remove()
{
    if (!added_)
        return;
    NOTIFYICONDATAW data = Data(0);
    Shell_NotifyIconW(NIM_DELETE, &data);
    added_ = false;
}

TrayIcon::Event TrayIcon::Decode(WPARAM wParam, LPARAM lParam, RECT* at) const
{
    if (version4_) {
        // Version 4: the event in the low word, the anchor in wParam; the
        // plain mouse messages come as well and are left alone.
        switch (LOWORD(lParam)) {
        case WM_CONTEXTMENU:
        case NIN_SELECT:
        case NIN_KEYSELECT:
            at->left = at->right = GET_X_LPARAM(wParam);
            at->top = at->bottom = GET_Y_LPARAM(wParam);
            return Event::Menu;
        case NIN_BALLOONUSERCLICK:
            return Event::NotificationClicked;
        }
        return Event::None;
    }
    switch (lParam) {
    case NIN_BALLOONUSERCLICK:
        return Event::NotificationClicked;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
        POINT cursor;
        GetCursorPos(&cursor);
        *at = RECT{cursor.x, cursor.y, cursor.x, cursor.y};
        return Event::Menu;
    }
    }
    return Event::None;
}

RECT TrayIcon::Anchor() const
{
    NOTIFYICONIDENTIFIER id = {};
    id.cbSize = sizeof(id);
    id.hWnd = hwnd_;
    id.uID = kIconId;
    RECT rect;
    // Windows 7 and later; looked up so that the program still starts where
    // it is missing.
    using GetRect = HRESULT(WINAPI*)(const NOTIFYICONIDENTIFIER*, RECT*);
    auto getRect = reinterpret_cast<GetRect>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("shell32.dll"), "Shell_NotifyIconGetRect")));
    if (getRect && SUCCEEDED(getRect(&id, &rect)))
        return rect;
    // Else the notification area's window as a whole, or the mouse.
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    if (taskbar && IsWindowVisible(taskbar) && GetWindowRect(taskbar, &rect) &&
        !IsRectEmpty(&rect))
        return rect;
    POINT at;
    GetCursorPos(&at);
    return RECT{at.x, at.y, at.x, at.y};
}
