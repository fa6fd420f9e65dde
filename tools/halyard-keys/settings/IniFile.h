#pragma once

#include <windows.h>

#include <stdint.h>

#include <functional>
#include <string>

#include "IniEdit.h"
#include "IniText.h"

// The user's settings file on disk, changed one edit at a time. A save
// applies its edit to the file as it is then (re-read when it changed since
// it was loaded), writes the result to a new file beside it and puts that in
// the original's place, so that a failed write leaves the file as it was.
class IniFile {
public:
    using Edit = IniEdit;

    // ANSI files are read and written in ansiCodePage.
    explicit IniFile(std::wstring path, UINT ansiCodePage = CP_ACP);

    // Reads the file; a missing file reads as an empty one, which a save
    // creates. False, with *error, when it cannot be read.
    bool Load(std::string* error);
    const IniText& text() const { return text_; }

    // Applies edit and writes the file. False, with *error (the path and the
    // system's reason), when the edit or the write failed; the file on disk
    // is then as it was, and no temporary file is left beside it.
    bool Save(const Edit& edit, std::string* error);
    // Whether the last Save found the file changed on disk and applied its
    // edit to the new content.
    bool reloaded() const { return reloaded_; }

private:
    // What a read saw, to tell whether the file changed since.
    struct Snapshot {
        bool exists = false;
        bool readOnly = false;
        uint64_t size = 0;
        FILETIME written = {};
        uint64_t hash = 0;
        bool operator==(const Snapshot& other) const;
    };

    bool Read(Snapshot* snapshot, std::string* bytes, std::string* error) const;
    bool Write(const std::string& bytes, bool replacing, std::string* error) const;
    // System error codes, 0 for success. *temp is the new file's name, empty
    // when none was made.
    DWORD WriteNew(const std::string& bytes, std::wstring* temp) const;
    DWORD Replace(const std::wstring& temp) const;
    std::wstring UnusedName(const wchar_t* suffix, unsigned attempt) const;
    std::string Failure(DWORD code) const;

    std::wstring path_;
    UINT ansiCodePage_;
    IniText text_;
    Snapshot loaded_;
    bool reloaded_ = false;
};
