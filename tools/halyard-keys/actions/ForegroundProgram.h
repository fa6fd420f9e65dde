#pragma once

#include <windows.h>

#include <string>

// The image file name of the process whose window is in the foreground,
// "vlc.exe" (UTF-8, as the file system spells it); empty when there is no
// such window or its process cannot be asked, as for a program with higher
// rights on some systems.
std::string ForegroundProgram();

// The same for the process of window.
std::string ProgramOfWindow(HWND window);
