#pragma once

#include <string>

// An option the program's menu changes goes back into the settings file,
// one line changed (or added), so that the next start does as this one
// does; every other byte of the file stays (IniFile). line is the whole
// line, "ShowKeys=1"; it takes the place of the section's line of name. False,
// with *error, when the file cannot be read or written.
bool SaveSetting(const std::wstring& path, const std::string& section, const std::string& name,
                 const std::string& line, std::string* error);
