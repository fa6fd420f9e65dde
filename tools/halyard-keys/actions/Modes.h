#pragma once

#include <string>

#include "KeyMap.h"

// The key map's mode: none, or one whose [Mode:<name>] sections come first
// while it is on (lircrc's modes). mode: <name>, once is on for one key
// press and then gives way to the mode before it.
class Modes {
public:
    // The mode on; empty for none.
    const std::string& current() const { return current_; }
    // Returns whether the mode changed.
    bool Enter(const std::string& mode, bool once);
    // A key was pressed in the current mode: a once mode has had its key.
    bool KeyPressed();
    // The map was read: at the first, StartMode; later a mode whose
    // sections are gone ends.
    bool MapChanged(const KeyMap& map);

private:
    bool Set(const std::string& mode);

    std::string current_;
    std::string before_; // where a once mode returns to
    bool once_ = false;
    bool started_ = false;
};
