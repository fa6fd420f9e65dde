#include "TrayMenu.h"

#include "Strings.h"
#include "Text.h"

namespace {

enum class Kind { Info, Command, Separator };
enum Show : unsigned {
    kAlways = 0,
    kWhenListening = 1,
    kWhenPaused = 2,
    kWhenFailed = 4,
    kWhenWaiting = 8,
    kWhenProblems = 16,
    kWhenAside = 32,
    kWhenKeyMode = 64,
};

struct Item {
    Kind kind;
    MenuCommand id;
    const char* label; // null: from the state
    unsigned show;
    bool MenuState::*checked; // null: never checked
};

const UINT kLastKeyLine = 100;
const UINT kStatusLine = 101;
const UINT kSettingsLine = 102;

const Item kItems[] = {
    {Kind::Info, static_cast<MenuCommand>(kLastKeyLine), nullptr, kAlways, nullptr},
    {Kind::Info, static_cast<MenuCommand>(kStatusLine), nullptr, kAlways, nullptr},
    {Kind::Info, static_cast<MenuCommand>(kSettingsLine), nullptr, kAlways, nullptr},
    {Kind::Separator, kCmdNone, nullptr, kAlways, nullptr},
    {Kind::Command, kCmdPause, strings::kMenuPause, kWhenListening | kWhenWaiting | kWhenAside,
     nullptr},
    {Kind::Command, kCmdResume, strings::kMenuResume, kWhenPaused, nullptr},
    {Kind::Command, kCmdRetry, strings::kMenuRetry, kWhenFailed | kWhenWaiting, nullptr},
    {Kind::Command, kCmdLeaveMode, strings::kMenuLeaveMode, kWhenKeyMode, nullptr},
    {Kind::Command, kCmdSetup, strings::kMenuSetup, kAlways, nullptr},
    {Kind::Command, kCmdMapKey, strings::kMenuMapKey, kAlways, nullptr},
    {Kind::Command, kCmdEdit, strings::kMenuEdit, kAlways, nullptr},
    {Kind::Command, kCmdReload, strings::kMenuReload, kAlways, nullptr},
    {Kind::Command, kCmdProblems, strings::kMenuProblems, kWhenProblems, nullptr},
    {Kind::Separator, kCmdNone, nullptr, kAlways, nullptr},
    {Kind::Command, kCmdShowKeys, strings::kMenuShowKeys, kAlways, &MenuState::showKeys},
    {Kind::Command, kCmdStepAside, strings::kMenuStepAside, kAlways, &MenuState::stepAside},
    {Kind::Command, kCmdShareRemote, strings::kMenuShareRemote, kAlways,
     &MenuState::shareRemote},
    {Kind::Command, kCmdAutoStart, strings::kMenuAutoStart, kAlways, &MenuState::autoStart},
    {Kind::Separator, kCmdNone, nullptr, kAlways, nullptr},
    {Kind::Command, kCmdHelp, strings::kMenuHelp, kAlways, nullptr},
    {Kind::Command, kCmdExit, strings::kMenuExit, kAlways, nullptr},
};

bool Shown(unsigned show, const MenuState& state)
{
    if (show == kAlways)
        return true;
    unsigned mode = state.mode == TunerState::Listening ? kWhenListening
                    : state.mode == TunerState::Paused  ? kWhenPaused
                    : state.mode == TunerState::Waiting ? kWhenWaiting
                    : state.mode == TunerState::Aside   ? kWhenAside
                                                             : kWhenFailed;
    return (show & mode) || ((show & kWhenProblems) && state.hasProblems) ||
           ((show & kWhenKeyMode) && !state.keyMode.empty());
}

} // namespace

MenuCommand ShowTrayMenu(HWND owner, const RECT& at, const MenuState& state)
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return kCmdNone;
    for (const Item& item : kItems) {
        if (!Shown(item.show, state))
            continue;
        if (item.kind == Kind::Separator) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::string label = item.label                ? item.label
                            : item.id == kLastKeyLine  ? state.lastKey
                            : item.id == kSettingsLine ? state.settings
                                                       : state.status;
        UINT flags = MF_STRING;
        if (item.kind == Kind::Info)
            flags |= MF_GRAYED;
        if (item.checked && state.*item.checked)
            flags |= MF_CHECKED;
        AppendMenuW(menu, flags, item.id, Widen(label).c_str());
    }
    // Without the foreground, the menu would not close when clicking
    // elsewhere; the null message afterwards lets it close at once.
    SetForegroundWindow(owner);
    // Beside the icon, never over it: below an icon in the top half of its
    // screen (a taskbar at the top), above it otherwise.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromRect(&at, MONITOR_DEFAULTTONEAREST), &monitor);
    bool below = at.bottom < (monitor.rcWork.top + monitor.rcWork.bottom) / 2;
    UINT flags = TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY | TPM_VERTICAL |
                 (GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN) |
                 (below ? TPM_TOPALIGN : TPM_BOTTOMALIGN);
    TPMPARAMS params = {};
    params.cbSize = sizeof(params);
    params.rcExclude = at;
    UINT chosen = TrackPopupMenuEx(menu, flags, at.left, below ? at.bottom : at.top, owner,
                                   &params);
    PostMessageW(owner, WM_NULL, 0, 0);
    DestroyMenu(menu);
    return static_cast<MenuCommand>(chosen);
}
