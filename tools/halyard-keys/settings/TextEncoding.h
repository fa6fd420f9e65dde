#pragma once

#include "WinTypes.h"

#include <string>

// How a text file's bytes stand for its text: the encodings Notepad saves.
struct TextEncoding {
    enum class Kind { Ansi, Utf8, Utf16Le, Utf16Be };
    Kind kind = Kind::Utf8;
    bool utf8Mark = false;  // UTF-8 only; UTF-16 always starts with its mark
    UINT codePage = CP_ACP; // Ansi only; DetectEncoding gives its number

    // The byte-order mark the file starts with, empty for none.
    std::string Mark() const;
    // 2 for UTF-16, else 1: line ends are found a code unit at a time.
    size_t UnitSize() const;
};

// UTF-16 by its mark; UTF-8 by its mark or by being valid UTF-8 (plain ASCII
// included, as Notepad reads it); anything else is ANSI in ansiCodePage.
TextEncoding DetectEncoding(const std::string& bytes, UINT ansiCodePage = CP_ACP);

// Text in the encoding (without its mark) as UTF-8. Bytes that stand for no
// character become U+FFFD: this is for reading, never for writing back.
std::string DecodeText(const std::string& bytes, const TextEncoding& encoding);

// UTF-8 text in the encoding (without its mark). False when a character has
// no exact equivalent there (an ANSI file and a character outside its code
// page), or when utf8 is not valid UTF-8: nothing is ever written as '?'.
bool EncodeText(const std::string& utf8, const TextEncoding& encoding, std::string* bytes);

// The bytes of a text file as UTF-8, without a byte-order mark: UTF-16 (by
// its mark) and UTF-8 are taken as they are; anything else is ANSI, as
// Notepad saves.
std::string DecodeTextFile(const std::string& bytes);
