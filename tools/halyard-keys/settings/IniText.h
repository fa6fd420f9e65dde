#pragma once

#include "WinTypes.h"

#include <functional>
#include <string>
#include <vector>

#include "TextEncoding.h"

// The text of an INI file as the user wrote it: its lines with their exact
// bytes and line ends, in the file's own encoding. An edit changes the one
// line it must; comments, blank lines, the order of the other lines, the
// encoding and the line ends stay as they were.
//
// Sections match without regard to case, also with a program:
// [Keys:vlc.exe] is [keys:VLC.EXE]. A header without its ']' ends the
// section before it and starts none, as the key map reads it.
class IniText {
public:
    // Whether a line's key (the trimmed text before its '=', UTF-8) is the
    // one an edit is about.
    using KeyMatch = std::function<bool(const std::string& key)>;

    // An empty file, as a new one is written: UTF-8 without a mark, CRLF.
    IniText() = default;
    // The bytes of a file; ANSI text is read in ansiCodePage.
    static IniText Parse(const std::string& bytes, UINT ansiCodePage = CP_ACP);

    std::string Bytes() const;
    const TextEncoding& encoding() const { return encoding_; }

    // Puts line ("key = value", UTF-8) in section: in place of the first line
    // whose key matches; else after the section's last line (before the
    // blank lines and the introducing comments of the next section); else in
    // a new section at the end of the file. A new line ends as the file's
    // lines do. False, with *error, when line or section holds a line break
    // or a character the file's encoding cannot hold; the text is unchanged.
    bool Set(const std::string& section, const KeyMatch& match, const std::string& line,
             std::string* error);
    // Removes every line of section whose key matches, so that no duplicate
    // takes over; how many.
    size_t Remove(const std::string& section, const KeyMatch& match);

private:
    enum class End { None, Lf, CrLf };
    struct Line {
        std::string bytes; // in the file's encoding, without the line end
        End end = End::None;
        std::string text; // UTF-8, to find sections and keys by
    };
    struct Section {
        size_t header; // the index of its header line
        size_t end;    // one past its last line
    };

    std::vector<Section> FindSections(const std::string& name) const;
    size_t InsertionPoint(const Section& section) const;
    void Insert(size_t at, Line line);
    End NewLineEnd() const;
    bool Encode(const std::string& text, Line* line, std::string* error) const;

    TextEncoding encoding_;
    std::vector<Line> lines_;
    std::string tail_; // UTF-16: a last byte that is half a code unit
};

// A key code as the key map writes it, matched by value: 0x12, 0X12 and 18
// are one key.
IniText::KeyMatch MatchKeyCode(unsigned code);
// An option's name, in any case.
IniText::KeyMatch MatchName(const std::string& name);
// Section names as IniText compares them.
bool SameSection(const std::string& a, const std::string& b);
