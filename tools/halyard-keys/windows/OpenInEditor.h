#pragma once

#include <windows.h>

#include <string>

// Opens a text file (wide path) in the user's editor for its type, in
// Notepad when no program is associated with it, after writing
// templateText into it when the file does not exist yet. False with *error
// when no editor could be started.
bool OpenInEditor(HWND owner, const std::wstring& path, const std::string& templateText,
                  std::string* error);
