#pragma once

#include <functional>
#include <string>

#include "IniText.h"

// An edit of a settings file's text, as IniFile applies it to the file as it
// is on disk; false, with *error, when it cannot be made. Apart from the
// disk, so that it can be tried on any text.
using IniEdit = std::function<bool(IniText* text, std::string* error)>;

// The edits the key map needs: IniText::Set and IniText::Remove.
IniEdit SetLine(const std::string& section, const IniText::KeyMatch& match,
                const std::string& line);
IniEdit RemoveLines(const std::string& section, const IniText::KeyMatch& match);
