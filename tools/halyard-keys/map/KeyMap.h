#pragma once

#include <windows.h>

#include <string>
#include <vector>

// What a remote key does: a key combination typed into the foreground
// window, or a command line started.
struct KeyAction {
    enum class Kind { Keys, Run };
    Kind kind = Kind::Keys;
    std::vector<WORD> keys; // virtual keys, pressed in this order, released in reverse
    std::string command;    // Run: the command line as written (UTF-8)
    bool repeat = false;    // every arrival of a held key acts, not only the first
};

struct KeyMapping {
    unsigned code = 0; // the remote's key code, 0 to 255
    KeyAction action;
    int line = 0;
};

struct KeyMapError {
    int line = 0; // 1-based; 0 for the file as a whole
    std::string message;
};

const unsigned kDefaultRepeatGuardMs = 400;

// The [Keys] and [Options] sections of halyard.ini. A bad line is reported
// and left out; the rest of the map works.
struct KeyMap {
    std::vector<KeyMapping> mappings; // in file order, each code once
    std::vector<KeyMapError> errors;  // in file order
    unsigned repeatGuardMs = kDefaultRepeatGuardMs;
    bool hasKeysSection = false;

    // Null when the code is not mapped.
    const KeyMapping* Find(unsigned code) const;
};

// Parses the text of an INI file (UTF-8, with or without a byte-order mark;
// CRLF or LF line ends). Section and key names are case-insensitive, and
// comments are whole lines starting with ';' or '#'.
KeyMap ParseKeyMap(const std::string& text);

// How an action reads back: "Ctrl+Shift+P", "VK_VOLUME_UP, repeat",
// "run: notepad.exe".
std::string DescribeAction(const KeyAction& action);

// "0x12 (18)".
std::string DescribeCode(unsigned code);
