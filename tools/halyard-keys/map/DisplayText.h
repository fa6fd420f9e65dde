#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "KeyMap.h"

// What the on-screen display says an action did, short enough to take in
// at a glance.

// "Ctrl+Shift+P", "Volume up": KeyDisplayName of each key.
std::string KeysDisplayText(const std::vector<WORD>& keys);

// The program a command line starts, read as CreateProcess reads it: up to
// the closing quote; else the first run of words that names a program
// (C:\Program Files\Player\player.exe --x), or the first word when none
// does.
std::string ProgramOfCommand(const std::string& command);
// "player" for a command line that starts player.exe.
std::string ProgramName(const std::string& commandLine);

// "run: player" for a command line that starts player.exe, wherever it is
// and whatever its arguments.
std::string RunDisplayText(const std::string& commandLine);

// "Mouse mode", "Mode off": a mode turned on or off.
std::string ModeDisplayText(const std::string& mode);

// One of them for an action, "Ctrl+C, Ctrl+V" for a sequence, "type: Hello",
// "show: vlc"; empty for nothing, which shows nothing.
std::string ActionDisplayText(const KeyAction& action);
// The same after the button's name where it has one: "KEY_OK -> Enter".
std::string NamedDisplayText(const std::string& name, const KeyAction& action);
