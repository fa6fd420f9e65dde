#pragma once

#include <windows.h>

#include <string>
#include <vector>

// What a remote key does: a key combination typed into the foreground
// window, a command line started, or nothing (to turn a key of [Keys] off
// for one program).
struct KeyAction {
    enum class Kind { Keys, Run, Nothing };
    Kind kind = Kind::Keys;
    std::vector<WORD> keys; // virtual keys, pressed in this order, released in reverse
    std::string command;    // Run: the command line as written (UTF-8)
};

// How a held key acts after its first frame.
enum class Repeat {
    Off,  // once per press
    On,   // again on every frame once RepeatDelayMs has passed
    Fast, // the same, and two, then three times a frame after one and two seconds
};

// One line of a [Keys] section: "0x12 = Enter, long: Alt+F4", or the same
// by the button's name: "KEY_OK = Enter, long: Alt+F4".
struct KeyMapping {
    unsigned code = 0; // the remote's key code, 0 to 255
    std::string name;  // the button's name where the line gives it instead of the code
    KeyAction action;  // on a press; with a long action, on a release before LongPressMs
    bool hasLong = false;
    KeyAction longAction; // once, when the key has been held for LongPressMs
    Repeat repeat = Repeat::Off;
    int line = 0;
};

// [Keys], or [Keys:<program>.exe] for the program whose window is in front.
struct KeySection {
    std::string program; // as written; empty for [Keys]
    std::vector<KeyMapping> mappings; // in file order, each code once
    int line = 0;        // of the (first) header

    const KeyMapping* Find(unsigned code) const;
    // "[Keys]", "[Keys:vlc.exe]".
    std::string Name() const;
};

// A line of [Names]: "0x12 = KEY_OK".
struct ButtonName {
    unsigned code = 0;
    std::string name; // as the names table writes it: KEY_OK
    int line = 0;
};

struct KeyMapError {
    int line = 0; // 1-based; 0 for the file as a whole
    std::string message;
};

const unsigned kDefaultRepeatGuardMs = 400;
const unsigned kDefaultLongPressMs = 800;
const unsigned kDefaultRepeatDelayMs = 500;

// The [Keys], [Keys:<program>] and [Options] sections of halyard.ini. A bad
// line is reported and left out; the rest of the map works.
struct KeyMap {
    std::vector<KeySection> sections; // in file order; a header written twice is one section
    std::vector<ButtonName> names;    // in file order, each code and each name once
    std::vector<KeyMapError> errors;  // in file order
    unsigned repeatGuardMs = kDefaultRepeatGuardMs;
    unsigned longPressMs = kDefaultLongPressMs;
    unsigned repeatDelayMs = kDefaultRepeatDelayMs;
    unsigned showKeys = 0; // 1: show each key's action on the screen
    unsigned stepAside = 1; // 1: stop reading while another program reads the tuner
    bool hasKeysSection = false;

    // What code does while program (an image file name, any case; empty
    // when unknown) is in front: its section's mapping, else [Keys]'s. Null
    // when the code is mapped in neither; *section tells which it came from.
    const KeyMapping* Find(unsigned code, const std::string& program = std::string(),
                           const KeySection** section = nullptr) const;
    // The section of program, exactly ("" for [Keys]); null when absent.
    const KeySection* Section(const std::string& program) const;
    bool HasProgramSections() const;
    size_t MappingCount() const;
    // The name [Names] gives code; empty when it has none.
    std::string NameOf(unsigned code) const;
    // The code [Names] gives name (any case); false when none does.
    bool CodeOf(const std::string& name, unsigned* code) const;
};

// Parses the text of an INI file (UTF-8, with or without a byte-order mark;
// CRLF or LF line ends). Section and key names are case-insensitive, and
// comments are whole lines starting with ';' or '#'.
KeyMap ParseKeyMap(const std::string& text);

// How an action reads back: "Ctrl+Shift+P", "run: notepad.exe", "nothing".
std::string DescribeAction(const KeyAction& action);
// The whole right-hand side: "Enter, long: Alt+F4", "VK_VOLUME_UP, repeat fast".
std::string DescribeMapping(const KeyMapping& mapping);

// "0x12 (18)".
std::string DescribeCode(unsigned code);
// How a person reads a button: "KEY_OK (0x12)" where it has a name, else
// DescribeCode.
std::string DescribeButton(const KeyMap& map, unsigned code);
