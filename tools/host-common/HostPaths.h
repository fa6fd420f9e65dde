#pragma once

#include <string>

// The running program's folder, with a trailing separator.
std::string ProgramFolder();

// path made absolute against the current directory; false when it cannot be.
bool FullPath(const std::string& path, std::string* full);
