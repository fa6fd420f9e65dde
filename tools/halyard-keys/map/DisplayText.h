#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "KeyMap.h"

// What the on-screen display says an action did, short enough to take in
// at a glance.

// "Ctrl+Shift+P", "Volume up": KeyDisplayName of each key.
std::string KeysDisplayText(const std::vector<WORD>& keys);

// "run: player" for a command line that starts player.exe, wherever it is
// and whatever its arguments.
std::string RunDisplayText(const std::string& commandLine);

// Either of them for an action; empty for nothing, which shows nothing.
std::string ActionDisplayText(const KeyAction& action);
// The same after the button's name where it has one: "KEY_OK -> Enter".
std::string NamedDisplayText(const std::string& name, const KeyAction& action);
