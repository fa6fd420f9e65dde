#pragma once

#include <windows.h>

#include <string>

#include "TunerState.h"

// The notification icon's menu, built from a table each time it opens.
enum MenuCommand : UINT {
    kCmdNone = 0,
    kCmdPause = 1,
    kCmdResume,
    kCmdRetry,
    kCmdEdit,
    kCmdReload,
    kCmdProblems,
    kCmdAutoStart,
    kCmdExit,
    kCmdMapKey,
    kCmdShowKeys,
    kCmdStepAside,
    kCmdSetup,
    kCmdHelp,
    kCmdShareRemote,
    kCmdLeaveMode,
};

struct MenuState {
    TunerState mode = TunerState::Failed;
    std::string lastKey; // the first line, as shown
    std::string status;  // the second line, as shown
    std::string settings; // the third: the INI file in use
    bool hasProblems = false;
    bool autoStart = false;
    bool showKeys = false;
    bool stepAside = false;
    bool shareRemote = false; // the LIRC server listens
    std::string keyMode;      // the key map's mode on; empty for none
};

// Shows the menu beside `at` (the icon, or a point) for owner (which comes to the foreground, as a
// menu of the notification area needs) and returns the command chosen.
MenuCommand ShowTrayMenu(HWND owner, const RECT& at, const MenuState& state);
