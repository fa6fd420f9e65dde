#pragma once

#include <string>
#include <vector>

// The programs with a window open now, by the file name the key map's
// sections take ("vlc.exe"): each once, sorted, without this program.
std::vector<std::string> ProgramsWithWindows();
