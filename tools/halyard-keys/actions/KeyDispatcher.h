#pragma once

#include <windows.h>

#include <string>

#include "KeyMap.h"
#include "RepeatGuard.h"

// Decides what each key from the remote does: the key map, the repeat guard
// for held keys, and the "last key" line the menu shows for learning codes.
class KeyDispatcher {
public:
    KeyDispatcher();

    // A new map; the guard starts afresh with the map's guard time.
    void SetMap(KeyMap map);
    const KeyMap& map() const { return map_; }
    // Forgets the last arrival, e.g. after a pause.
    void Reset() { guard_.Reset(); }

    // Records a key arriving at now (GetTickCount); returns its action when
    // one is due, null for a key not mapped or held.
    const KeyAction* Arrive(unsigned code, DWORD now);
    // "Last key: 0x12 (18) = Enter", "... (not mapped)", "... (held)".
    const std::string& lastKey() const { return lastKey_; }

private:
    KeyMap map_;
    RepeatGuard guard_;
    std::string lastKey_;
};

// Sends the keystrokes or starts the command; false with a notification's
// title and text when that fails.
bool PerformAction(const KeyAction& action, std::string* title, std::string* text);
