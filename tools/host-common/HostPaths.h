#pragma once

#include <string>

// The running program's folder, with a trailing separator.
std::wstring ProgramFolderWide();
// The same as ANSI text for the ANSI calls (LoadLibraryA, the library's INI
// path): its short form when it has characters outside the ANSI code page.
std::string ProgramFolder();

// path made absolute against the current directory; false when it cannot be.
bool FullPath(const std::string& path, std::string* full);
bool FullPath(const std::wstring& path, std::wstring* full);
