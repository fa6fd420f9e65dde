#pragma once

#include <string>

#include "KeyMap.h"

// The key map as understood, for --check: the file, each mapping (key code,
// action, line), the repeat guard, each bad line and a count.
std::string CheckReport(const std::string& iniPath, const KeyMap& map);

// The bad lines alone, one "line N: message" each.
std::string ErrorLines(const KeyMap& map);

// "5 keys mapped, 1 bad line."
std::string Summary(const KeyMap& map);
