#pragma once

#include <string>

#include "KeyMap.h"

// Reads and parses the key map of the INI file at path. False, with *error,
// when the file cannot be read at all; bad lines are in map->errors.
bool LoadKeyMapFile(const std::wstring& path, KeyMap* map, std::string* error);
