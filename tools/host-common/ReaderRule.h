#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Which processes read the tuner besides this one: those that have a module
// named Halyard.dll loaded, whatever its build or folder. One program should
// read the tuner at a time; a driver that hands each code out once gives it
// to whichever reads first.

// What was read of a process: its image's file name and its modules' names
// (file names alone, any case).
struct ProcessModules {
    DWORD pid = 0;
    std::wstring exe;
    std::vector<std::wstring> modules;
    ULONG_PTR libraryBase = 0; // where a module named as the library is loaded; 0: unknown
};

// This process, as the rule sees it.
struct ReaderSelf {
    DWORD pid = 0;
    std::wstring exe; // the image's file name: another instance of it is no rival
};

// The library's file name, as hosts load it.
extern const wchar_t kLibraryFileName[];

// True when the process reads the tuner beside self: not self, not another
// instance of the same program, and with the library among its modules.
bool IsOtherReader(const ProcessModules& process, const ReaderSelf& self);

// This process's pid and image file name.
ReaderSelf CurrentReaderSelf();

// The file name of a path ("C:\a\b.exe" -> "b.exe").
std::wstring FileNameOf(const std::wstring& path);
