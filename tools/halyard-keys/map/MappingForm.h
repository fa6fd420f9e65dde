#pragma once

#include <string>
#include <vector>

#include "KeyMap.h"

// What the Map a key dialog asks, and the key map line it makes of the
// answers. The line is written as a user would write it and read back by
// the key map's own parser, so that the dialog can never save what the map
// would refuse.

struct ActionChoice {
    // In the order the dialog lists them.
    enum class Kind { Keystroke, Sequence, Common, Type, Run, Show, Mode, Nothing };
    Kind kind = Kind::Keystroke;
    std::string keys;     // Keystroke: as the map writes it, "Ctrl+Shift+P"
    std::string sequence; // Sequence: as typed, "Ctrl+C, wait 100, Ctrl+V"
    size_t common = 0;    // Common: an index into CommonActions()
    std::string text;     // Type: the text to type
    std::string command;  // Run: a command line; Show: a program's file name or command line
    std::string mode;     // Mode: a mode's name, or "off"
    bool once = false;    // Mode: for one key, then back
};

struct MappingChoices {
    enum class Held { Once, Repeat, RepeatFast, Long };
    ActionChoice action;
    Held held = Held::Once;
    ActionChoice longAction; // Held::Long
};

// The short list of what remote keys usually do, as the map writes them:
// the media and volume keys, arrows, Enter, Esc... The dialog shows them by
// their display names ("Volume up").
const std::vector<std::string>& CommonActions();

// Why the answers make no line: a text of Strings.h, with {1} for its detail.
struct FormError {
    const char* text = nullptr;
    bool held = false;   // the choice for holding the key
    std::string detail;  // the map's own words when it refuses the line; a mode's name
};

// The right-hand side of the line: "Enter, long: Alt+F4". False, with
// *error, when a choice is missing or the map would refuse the line; map is
// the key map the line goes into, whose [Mode:...] sections a mode: needs.
bool ComposeMapping(const MappingChoices& choices, const KeyMap& map, std::string* value,
                    FormError* error);

// The modes a key can switch to: each mode of the map once, as its first
// section writes it, in file order.
std::vector<std::string> ModesOf(const KeyMap& map);

// The choices that make an existing mapping, to start the dialog from it.
MappingChoices ChoicesFor(const KeyMapping& mapping);

// The section for one program (its file name) or all (empty): "Keys:vlc.exe",
// "Keys". False, with *error, for a name that is not a file name.
bool SectionFor(const std::string& program, std::string* section, FormError* error);

// The whole line: "0x12 = Enter".
std::string MappingLine(unsigned code, const std::string& value);
