#pragma once

#include <string>

// Text is UTF-8 inside the program; paths come from the system's ANSI calls
// (the library takes an ANSI path) and the wide calls show text.
std::wstring Widen(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& wide);
std::string Utf8FromAnsi(const std::string& ansi);

// The bytes of a text file as UTF-8, without a byte-order mark: UTF-16 (by
// its mark) and UTF-8 are taken as they are; anything else is ANSI, as
// Notepad saves.
std::string DecodeTextFile(const std::string& bytes);
