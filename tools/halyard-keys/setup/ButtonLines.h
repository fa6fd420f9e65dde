#pragma once

#include <string>
#include <vector>

#include "IniText.h"

// The setup's change to the settings file: the buttons named, each a line of
// [Names], and, when asked, a [Keys] line with its common action for each
// named button that has no action in [Keys] yet, and a ready [Mode:Mouse]
// entered by Menu or Info where the file has no mouse mode. Lines are added, never
// changed, but where the user chose to give a code that has a name another
// one, or to give a name to another code: then that button's old [Names]
// line goes, as two names for one button would be a bad line.
struct NamedButton {
    unsigned code;
    std::string name; // as the names table writes it
};

// The lines of a [Keys] section about one button: its code's, and its
// name's where it has one (name empty otherwise).
IniText::KeyMatch MatchButton(unsigned code, const std::string& name);
// A [Keys] line for the button, by its name where it has one: "KEY_OK =
// Enter", else "0x12 = Enter".
std::string ButtonLine(unsigned code, const std::string& name, const std::string& value);

// Applied to the file as it is when saved (IniFile re-reads a file changed
// on disk): what has an action and what is named is judged from that text.
// *added counts the lines added. False, with *error, when a line cannot go
// into the file; text is then as it was.
bool AddButtonLines(IniText* text, const std::vector<NamedButton>& buttons, bool commonActions,
                    size_t* added, std::string* error);
