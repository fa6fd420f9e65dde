#pragma once

#include <string>

#include "KeyMap.h"

// What carries out a key's action: the system's keystrokes and programs
// (SystemPerformer), or a fake in tests.
class ActionPerformer {
public:
    virtual ~ActionPerformer() = default;
    // action, times in a row; nothing does nothing. False with a
    // notification's title and text when it failed.
    virtual bool Perform(const KeyAction& action, unsigned times, std::string* title,
                         std::string* text) = 0;
};

// SendInput for keystrokes, CreateProcess for commands.
class SystemPerformer : public ActionPerformer {
public:
    bool Perform(const KeyAction& action, unsigned times, std::string* title,
                 std::string* text) override;
};
