#pragma once

#include <windows.h>

#include <string>

// show: brings the window of a running program to the front: the most
// recently active of its windows (the first in the windows' order from the
// top), restored if minimized. commandLine is "vlc.exe" or a command line
// ("C:\...\vlc.exe" --x); the program is known by its file name, and when
// none of its windows is there it is started with the command line.
//
// Windows lets a process take the foreground only on conditions
// (SetForegroundWindow): halyard-keys is in the background when a remote key
// comes. The system lifts its lock when the user presses Alt, and a process
// that may set the foreground may let another do so; so Alt is held down
// while the window is brought to the front, or while the program is started
// and allowed to take it. False, with *error, when the program is neither
// there nor can be started; a window the system keeps in the back (its
// taskbar button flashes) is not reported.
bool ShowProgram(const std::string& commandLine, std::string* error);

// The windows of a program in front of the others, most recently active
// first: the first of those the system lists from the top that is visible,
// no tool window and owned by no other window, whose process has the image
// file name program (any case). Null when it has none.
HWND ProgramWindow(const std::string& program);
