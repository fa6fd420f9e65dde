#pragma once

#include <windows.h>

#include <string>

// The dialogs' texts, from the program's string table.

// The string id of the table; empty when there is none.
std::wstring LoadText(UINT id);

// text with "{1}", "{2}" and "{3}" filled in, each where it stands.
std::wstring FillText(std::wstring text, const std::wstring& first,
                      const std::wstring& second = std::wstring(),
                      const std::wstring& third = std::wstring());

// A control's text, as long as it is.
std::wstring WindowText(HWND window);
