#pragma once

#include <string>
#include <vector>

#include "KeyMap.h"

// What the Map a key dialog asks, and the key map line it makes of the
// answers. The line is written as a user would write it and read back by
// the key map's own parser, so that the dialog can never save what the map
// would refuse.

struct ActionChoice {
    enum class Kind { Keystroke, Common, Run, Nothing };
    Kind kind = Kind::Keystroke;
    std::string keys;    // Keystroke: as the map writes it, "Ctrl+Shift+P"
    size_t common = 0;   // Common: an index into CommonActions()
    std::string command; // Run: a command line
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

// Why the answers make no line: a string of the program's string table
// (resource.h), and the map's own words when it refuses the line.
struct FormError {
    unsigned stringId = 0;
    bool held = false;       // the choice for holding the key
    std::string mapMessage;  // with IDS_FORM_MAP_REFUSES
};

// The right-hand side of the line: "Enter, long: Alt+F4". False, with
// *error, when a choice is missing or the map would refuse the line.
bool ComposeMapping(const MappingChoices& choices, std::string* value, FormError* error);

// The choices that make an existing mapping, to start the dialog from it.
MappingChoices ChoicesFor(const KeyMapping& mapping);

// The section for one program (its file name) or all (empty): "Keys:vlc.exe",
// "Keys". False, with *error, for a name that is not a file name.
bool SectionFor(const std::string& program, std::string* section, FormError* error);

// The whole line: "0x12 = Enter".
std::string MappingLine(unsigned code, const std::string& value);
