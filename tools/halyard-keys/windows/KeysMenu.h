#pragma once

#include <windows.h>

#include "KeysPaths.h"
#include "TrayMenu.h"

class KeyActions;
class KeyDisplay;
class LastKeyLine;
class LircSharing;
class LoadedMap;
class MapKeyDialog;
class Notices;
class SetupDialog;
class StepAside;
class TunerSession;

// The notification icon's menu: what it shows of the parts (TrayMenu
// draws it), and its commands, with the options they save in the settings
// file.
class KeysMenu {
public:
    struct Parts {
        HWND window;
        const KeysPaths* paths;
        Notices* notices;
        TunerSession* tuner;
        StepAside* aside;
        LoadedMap* map;
        LircSharing* network;
        KeyActions* actions;
        const LastKeyLine* lastKey;
        KeyDisplay* display;
        MapKeyDialog* mapKey;
        SetupDialog* setup;
    };

    explicit KeysMenu(const Parts& parts) : parts_(parts) {}

    // Beside at (the icon, or a point); returns when the menu has closed
    // and its command is done.
    void Show(const RECT& at);
    // What the item does; also for WM_COMMAND with its number, as a window's
    // menu commands come.
    void OnCommand(MenuCommand command);
    // The settings read again, as Reload key map does.
    void Reload();

private:
    MenuState State() const;
    void EditMap();
    void ShowProblems();
    void ToggleAutoStart();
    bool SaveOption(const char* name, bool on, const char* failedTitle);

    Parts parts_;
    bool open_ = false;
};
