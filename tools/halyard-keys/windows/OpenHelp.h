#pragma once

#include <windows.h>

#include <string>

// Opens the help page installed beside the program (exePath's folder) in the
// user's browser. False with *error (the page and the system's reason) when
// it cannot: the page missing, or no program for it.
bool OpenHelp(HWND owner, const std::wstring& exePath, std::string* error);
