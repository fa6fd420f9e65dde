#pragma once

#include <functional>
#include <string>

#include "KeyMap.h"
#include "Notices.h"

// The key map of the settings file, as the program last read it, and what
// the user hears of reading it: why it could not be read, its bad lines,
// that it has no [Keys] yet. The map is replaced in place, so that its
// users may keep a reference; changed tells them.
class LoadedMap {
public:
    // setupOffered: whether the user has had the setup's offer (a new user
    // hears of that instead of the missing [Keys]).
    LoadedMap(std::wstring path, Notices* notices, std::function<bool()> setupOffered);

    void OnChange(std::function<void()> changed) { changed_ = std::move(changed); }
    // Reads the file again; reloading: the user asked, and hears the count.
    void Load(bool reloading);

    const KeyMap& map() const { return map_; }
    const std::wstring& path() const { return path_; }
    bool HasProblems() const { return !map_.errors.empty() || !error_.empty(); }
    // Nothing named, nothing mapped and nothing wrong: the remote does
    // nothing yet.
    bool IsEmpty() const;
    // The whole list, for Key map problems: the file's error, else its bad lines.
    std::string Problems() const;

private:
    std::wstring path_;
    Notices* notices_;
    std::function<bool()> setupOffered_;
    std::function<void()> changed_;
    KeyMap map_;
    std::string error_; // why the file could not be read; empty when it was
};
