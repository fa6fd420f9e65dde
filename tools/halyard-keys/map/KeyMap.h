#pragma once

#include "WinTypes.h"

#include <string>
#include <vector>

// One step of a sequence of keystrokes: a key combination, pressed and
// released before the next step, or a wait.
struct KeyStep {
    std::vector<WORD> keys; // virtual keys, pressed in this order, released in reverse; empty: a wait
    unsigned waitMs = 0;
};

// What the pointer does: the moves go on while the button is held; the
// rest happen once per press (or per repeat).
enum class PointerAction {
    Up, Down, Left, Right, UpLeft, UpRight, DownLeft, DownRight, // moves
    Click, RightClick, MiddleClick, DoubleClick, WheelUp, WheelDown,
    Drag, // the left button held down until the next click, or the mode's end
};
bool IsPointerMove(PointerAction action);

// What a remote key does: key combinations typed into the foreground window
// one after the other, text typed there, a command line started, a program
// brought to the front (or started), another mode of the map, the mouse
// pointer moved or clicked, or nothing (to turn a key of [Keys] off for one
// program or mode).
struct KeyAction {
    enum class Kind { Keys, Run, Nothing, Type, Mode, Show, Pointer };
    Kind kind = Kind::Keys;
    std::vector<KeyStep> steps; // Keys: one combination, or a sequence with waits
    std::string command;        // Run, Show: the command line as written (UTF-8)
    std::string text;           // Type: the text (UTF-8)
    std::string mode;           // Mode: the mode's name as written; empty for off
    bool once = false;          // Mode: for one key, then back
    PointerAction pointer = PointerAction::Click; // Pointer

    // Keys: the waits between the combinations, together.
    unsigned WaitMs() const;
};

// A sequence's bounds.
const unsigned kMaxWaitMs = 5000;
const size_t kMaxSequenceSteps = 64;

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

// [Keys], or [Keys:<program>.exe] for the program whose window is in front;
// [Mode:<name>] and [Mode:<name>:<program>.exe] while that mode is on.
struct KeySection {
    std::string program; // as written; empty for [Keys] and [Mode:<name>]
    std::string mode;    // as written; empty for [Keys] sections
    std::vector<KeyMapping> mappings; // in file order, each code once
    int line = 0;        // of the (first) header

    const KeyMapping* Find(unsigned code) const;
    // "[Keys]", "[Keys:vlc.exe]", "[Mode:Mouse]", "[Mode:Mouse:vlc.exe]".
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
    std::string startMode;  // StartMode=: the mode at the start; empty for none
    bool hasKeysSection = false;

    // What code does while program (an image file name, any case; empty
    // when unknown) is in front and mode is on (empty: none): the mode's
    // section for the program, the mode's, the program's, else [Keys]'s.
    // Null when the code is mapped in none; *section tells which it came from.
    const KeyMapping* Find(unsigned code, const std::string& program = std::string(),
                           const KeySection** section = nullptr,
                           const std::string& mode = std::string()) const;
    // The section of program and mode, exactly ("" for none); null when absent.
    const KeySection* Section(const std::string& program,
                              const std::string& mode = std::string()) const;
    // Whether a section of the mode exists (any case): the mode can be on.
    bool HasMode(const std::string& mode) const;
    // The mode's name as its first section writes it; empty when it has none.
    std::string ModeName(const std::string& mode) const;
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

// How an action reads back: "Ctrl+Shift+P", "Ctrl+C, wait 200, Ctrl+V",
// "run: notepad.exe", "type: Hello", "mode: Mouse, once", "show: vlc.exe",
// "mouse: right click", "nothing".
std::string DescribeAction(const KeyAction& action);
// The whole right-hand side: "Enter, long: Alt+F4", "VK_VOLUME_UP, repeat fast".
std::string DescribeMapping(const KeyMapping& mapping);

// "0x12 (18)".
std::string DescribeCode(unsigned code);
// How a person reads a button: "KEY_OK (0x12)" where it has a name, else
// DescribeCode.
std::string DescribeButton(const KeyMap& map, unsigned code);
