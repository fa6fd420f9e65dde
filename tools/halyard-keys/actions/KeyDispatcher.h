#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "KeyMap.h"
#include "KeyStateMachine.h"

// Decides what each key from the remote does: the key map, with the section
// of the program in front, the life of each press (KeyStateMachine), and
// the "last key" line the menu shows for learning codes.
class KeyDispatcher {
public:
    KeyDispatcher();

    // A new map, with its timing; a key in hand is forgotten.
    void SetMap(KeyMap map);
    const KeyMap& map() const { return map_; }
    // Forgets the key in hand, e.g. after a pause.
    void Reset() { machine_.Reset(); }

    // A frame of code at now (GetTickCount). program names the program in
    // front (its image file name); it is asked only when a press starts and
    // the map has a section for some program. Appends the actions due.
    void Arrive(unsigned code, DWORD now, const std::function<std::string()>& program,
                std::vector<DueAction>* due);
    // The timer that WaitMs asked for.
    void Tick(DWORD now, std::vector<DueAction>* due);
    DWORD WaitMs(DWORD now) const { return machine_.WaitMs(now); }

    // "Last key: 0x12 (18) = Enter", "... (not mapped)", "... (held)",
    // with ", from [Keys:vlc.exe]" once the map has program sections; a
    // named button by its name: "Last key: KEY_OK (0x12) -> Enter".
    const std::string& lastKey() const { return lastKey_; }
    // The code of the key in hand, or of the last one.
    unsigned code() const { return code_; }

private:
    void Describe(DueAction* performed);

    KeyMap map_;
    KeyStateMachine machine_;
    unsigned code_ = 0;
    const KeyMapping* mapping_ = nullptr;
    const KeySection* section_ = nullptr;
    std::string lastKey_;
};

// Sends the keystrokes or starts the command, times in a row; nothing does
// nothing. False with a notification's title and text when that fails.
bool PerformAction(const KeyAction& action, unsigned times, std::string* title, std::string* text);
