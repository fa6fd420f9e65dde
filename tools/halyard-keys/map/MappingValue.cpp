#include "MappingValue.h"

#include <string.h>

#include "KeyNames.h"
#include "PointerNames.h"
#include "Words.h"

namespace {

const char kLongPrefix[] = "long:";
const char kRunPrefix[] = "run:";
const char kShowPrefix[] = "show:";
const char kTypePrefix[] = "type:";
const char kModePrefix[] = "mode:";
const char kMousePrefix[] = "mouse:";
const char kAfterComma[] = "after a comma come the keystrokes of a sequence, long:, repeat or "
                           "repeat fast";

// The positions of the commas outside quotes.
std::vector<size_t> Commas(const std::string& value)
{
    std::vector<size_t> commas;
    bool quoted = false;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '"')
            quoted = !quoted;
        else if (value[i] == ',' && !quoted)
            commas.push_back(i);
    }
    return commas;
}

std::string After(const std::string& text, const char* prefix)
{
    return TrimSpace(text.substr(strlen(prefix)));
}

// run: and show: take a command line, commas and all.
bool ParseCommand(const std::string& command, KeyAction::Kind kind, KeyAction* action,
                  std::string* error)
{
    if (command.empty()) {
        *error = kind == KeyAction::Kind::Run
                     ? "run: needs a command line"
                     : "show: needs a program's file name or its command line";
        return false;
    }
    size_t quotes = 0;
    for (char c : command)
        quotes += c == '"';
    if (quotes % 2) {
        *error = "unbalanced quote in the command line";
        return false;
    }
    action->kind = kind;
    action->command = command;
    return true;
}

bool ParseType(const std::string& text, KeyAction* action, std::string* error)
{
    if (text.empty()) {
        *error = "type: needs the text to type";
        return false;
    }
    action->kind = KeyAction::Kind::Type;
    action->text = text;
    return true;
}

// "Mouse", "Mouse, once", "off". Whether the mode has a section is for the
// map as a whole to say.
bool ParseMode(const std::string& text, KeyAction* action, std::string* error)
{
    size_t comma = text.find(',');
    std::string name = TrimSpace(text.substr(0, comma));
    bool once = comma != std::string::npos;
    if (once && !SameWord(TrimSpace(text.substr(comma + 1)), "once")) {
        *error = "after mode: " + name + " only ', once' may follow";
        return false;
    }
    if (name.empty()) {
        *error = "mode: needs a mode's name, or off";
        return false;
    }
    if (!IsModeName(name)) {
        *error = "'" + name + "' is not a mode's name (letters, digits and spaces; no : ] or ,)";
        return false;
    }
    if (SameWord(name, "off") && once) {
        *error = "mode: off takes no once";
        return false;
    }
    action->kind = KeyAction::Kind::Mode;
    action->mode = SameWord(name, "off") ? std::string() : name;
    action->once = once;
    return true;
}

bool ParsePointer(const std::string& words, KeyAction* action, std::string* error)
{
    if (!LookUpPointerAction(words, &action->pointer)) {
        *error = words.empty() ? "mouse: needs what the pointer does: " + PointerActionNames()
                               : "'" + words + "' is not a mouse: action (" +
                                     PointerActionNames() + ")";
        return false;
    }
    action->kind = KeyAction::Kind::Pointer;
    return true;
}

bool IsMove(const KeyAction& action)
{
    return action.kind == KeyAction::Kind::Pointer && IsPointerMove(action.pointer);
}

bool ParseCombination(const std::string& text, std::vector<WORD>* combination, std::string* error)
{
    std::vector<WORD> keys;
    size_t start = 0;
    while (true) {
        size_t plus = text.find('+', start);
        std::string name =
            TrimSpace(text.substr(start, plus == std::string::npos ? plus : plus - start));
        WORD vk;
        if (name.empty()) {
            *error = "'" + text + "' has an empty key name";
            return false;
        }
        if (!LookUpKey(name, &vk)) {
            *error = "'" + name + "' is not a key name";
            return false;
        }
        for (WORD earlier : keys) {
            if (earlier == vk) {
                *error = "'" + name + "' is in the combination twice";
                return false;
            }
        }
        if (!keys.empty() && !IsModifierKey(keys.back())) {
            *error = IsModifierKey(vk)
                         ? "'" + KeyName(keys.back()) + "' must come last, after the modifiers"
                         : "'" + text + "' has more than one key besides Ctrl, Alt, Shift and Win";
            return false;
        }
        keys.push_back(vk);
        if (plus == std::string::npos)
            break;
        start = plus + 1;
    }
    *combination = keys;
    return true;
}

// One step of a sequence: "Ctrl+C" or "wait 200". many: the line has more
// than one, which makes a word that is no key name read as a setting.
bool ParseStep(const std::string& text, bool many, KeyStep* step, std::string* error)
{
    size_t space = text.find_first_of(" \t");
    if (space != std::string::npos && SameWord(text.substr(0, space), "wait")) {
        unsigned ms = 0;
        if (!ParseNumber(TrimSpace(text.substr(space)), kMaxWaitMs, &ms) || ms == 0) {
            *error = "'" + text + "': a wait is 1 to 5000 milliseconds, as in wait 200";
            return false;
        }
        step->waitMs = ms;
        return true;
    }
    for (const char* prefix : {kRunPrefix, kShowPrefix, kTypePrefix, kModePrefix, kMousePrefix}) {
        if (StartsWithWord(text, prefix)) {
            *error = std::string(prefix) + " is an action of its own: a sequence holds "
                                           "keystrokes and waits";
            return false;
        }
    }
    if (StartsWithWord(text, kLongPrefix)) {
        *error = many ? "a key has one long action" : "long: follows an action, as in Enter, long: Esc";
        return false;
    }
    if (SameWord(text, "repeat") || (space != std::string::npos &&
                                     SameWord(text.substr(0, space), "repeat"))) {
        *error = "'" + text + "' comes last, after the action and its long: (as in Up, repeat)";
        return false;
    }
    if (!ParseCombination(text, &step->keys, error)) {
        if (many && text.find('+') == std::string::npos)
            *error += " (" + std::string(kAfterComma) + ")";
        return false;
    }
    return true;
}

// Key combinations and the waits between them, separated by commas.
bool ParseSequence(const std::string& text, KeyAction* action, std::string* error)
{
    std::vector<size_t> commas = Commas(text);
    commas.push_back(text.size());
    std::vector<KeyStep> steps;
    size_t start = 0;
    for (size_t comma : commas) {
        std::string part = TrimSpace(text.substr(start, comma - start));
        start = comma + 1;
        if (part.empty()) {
            *error = "an empty step between two commas";
            return false;
        }
        KeyStep step;
        if (!ParseStep(part, commas.size() > 1, &step, error))
            return false;
        bool wait = step.keys.empty();
        if (wait && (steps.empty() || steps.back().keys.empty() || comma == text.size())) {
            *error = steps.empty() || comma == text.size()
                         ? "'" + part + "': a wait goes between two keystrokes"
                         : "two waits in a row: make them one";
            return false;
        }
        steps.push_back(step);
    }
    if (steps.size() > kMaxSequenceSteps) {
        *error = "a sequence has " + std::to_string(kMaxSequenceSteps) + " steps at the most";
        return false;
    }
    action->kind = KeyAction::Kind::Keys;
    action->steps = steps;
    return true;
}

// One action.
bool ParseAction(const std::string& text, KeyAction* action, std::string* error)
{
    if (text.empty()) {
        *error = "no action after '='";
        return false;
    }
    if (StartsWithWord(text, kRunPrefix))
        return ParseCommand(After(text, kRunPrefix), KeyAction::Kind::Run, action, error);
    if (StartsWithWord(text, kShowPrefix))
        return ParseCommand(After(text, kShowPrefix), KeyAction::Kind::Show, action, error);
    if (StartsWithWord(text, kTypePrefix))
        return ParseType(After(text, kTypePrefix), action, error);
    if (StartsWithWord(text, kModePrefix))
        return ParseMode(After(text, kModePrefix), action, error);
    if (StartsWithWord(text, kMousePrefix))
        return ParsePointer(After(text, kMousePrefix), action, error);
    if (SameWord(text, "nothing")) {
        action->kind = KeyAction::Kind::Nothing;
        return true;
    }
    return ParseSequence(text, action, error);
}

// A repeat setting after the last comma outside quotes, taken off text.
void TakeRepeat(std::string* text, Repeat* repeat)
{
    std::vector<size_t> commas = Commas(*text);
    if (commas.empty())
        return;
    std::string flag = TrimSpace(text->substr(commas.back() + 1));
    size_t space = flag.find_first_of(" \t");
    bool fast = space != std::string::npos && SameWord(flag.substr(0, space), "repeat") &&
                SameWord(TrimSpace(flag.substr(space)), "fast");
    if (fast || SameWord(flag, "repeat")) {
        *repeat = fast ? Repeat::Fast : Repeat::On;
        *text = TrimSpace(text->substr(0, commas.back()));
    }
}

} // namespace

bool IsModeName(const std::string& name)
{
    return !name.empty() && name.find_first_of(":[],=;#\"") == std::string::npos &&
           !HasControlCharacter(name) && TrimSpace(name) == name;
}

bool ParseMappingValue(const std::string& value, KeyMapping* mapping, std::string* error)
{
    // A text to type takes the rest of the line, commas and all.
    if (StartsWithWord(value, kTypePrefix))
        return ParseType(After(value, kTypePrefix), &mapping->action, error);
    std::string rest = value;
    // The long action starts at the first comma followed by "long:".
    std::string longText;
    for (size_t comma : Commas(rest)) {
        std::string after = TrimSpace(rest.substr(comma + 1));
        if (!StartsWithWord(after, kLongPrefix))
            continue;
        longText = After(after, kLongPrefix);
        rest = TrimSpace(rest.substr(0, comma));
        mapping->hasLong = true;
        break;
    }
    // A repeat setting ends the line, unless a text to type does.
    std::string* last = mapping->hasLong ? &longText : &rest;
    if (!StartsWithWord(*last, kTypePrefix))
        TakeRepeat(last, &mapping->repeat);
    if (mapping->hasLong) {
        if (longText.empty()) {
            *error = "long: needs an action";
            return false;
        }
        if (!ParseAction(longText, &mapping->longAction, error)) {
            *error = "long: " + *error;
            return false;
        }
    }
    if (!ParseAction(rest, &mapping->action, error))
        return false;
    if (mapping->hasLong && mapping->repeat != Repeat::Off) {
        *error = "a key with a long action does not repeat (remove one of them)";
        return false;
    }
    // A move lasts as long as the button is held: a press that waits to
    // see whether it is long, or a repeat, would only get in its way.
    if (IsMove(mapping->longAction) || (IsMove(mapping->action) && mapping->hasLong)) {
        *error = "mouse: " + PointerActionName(mapping->hasLong && IsMove(mapping->longAction)
                                                   ? mapping->longAction.pointer
                                                   : mapping->action.pointer) +
                 " moves while the button is held, and has no long press";
        return false;
    }
    if (IsMove(mapping->action) && mapping->repeat != Repeat::Off) {
        *error = "mouse: " + PointerActionName(mapping->action.pointer) +
                 " moves while the button is held: it needs no repeat";
        return false;
    }
    return true;
}
