#include "MappingValue.h"

#include <string.h>

#include "KeyNames.h"
#include "Words.h"

namespace {

const char kLongPrefix[] = "long:";
const char kRunPrefix[] = "run:";

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

bool ParseRun(const std::string& command, KeyAction* action, std::string* error)
{
    if (command.empty()) {
        *error = "run: needs a command line";
        return false;
    }
    size_t quotes = 0;
    for (char c : command)
        quotes += c == '"';
    if (quotes % 2) {
        *error = "unbalanced quote in the command line";
        return false;
    }
    action->kind = KeyAction::Kind::Run;
    action->command = command;
    return true;
}

bool ParseCombination(const std::string& text, KeyAction* action, std::string* error)
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
    action->kind = KeyAction::Kind::Keys;
    action->keys = keys;
    return true;
}

// One action: a command line may hold commas, a combination may not.
bool ParseAction(const std::string& text, KeyAction* action, std::string* error)
{
    if (StartsWithWord(text, kRunPrefix))
        return ParseRun(TrimSpace(text.substr(strlen(kRunPrefix))), action, error);
    if (text.empty()) {
        *error = "no action after '='";
        return false;
    }
    std::vector<size_t> commas = Commas(text);
    if (!commas.empty()) {
        *error = "unknown setting '" + TrimSpace(text.substr(commas[0] + 1)) +
                 "' after the comma (known: long:, repeat, repeat fast)";
        return false;
    }
    if (SameWord(text, "nothing")) {
        action->kind = KeyAction::Kind::Nothing;
        return true;
    }
    return ParseCombination(text, action, error);
}

} // namespace

bool ParseMappingValue(const std::string& value, KeyMapping* mapping, std::string* error)
{
    std::string rest = value;
    // A trailing repeat setting, after the last comma outside quotes.
    std::vector<size_t> commas = Commas(rest);
    if (!commas.empty()) {
        std::string flag = TrimSpace(rest.substr(commas.back() + 1));
        size_t space = flag.find_first_of(" \t");
        bool fast = space != std::string::npos &&
                    SameWord(flag.substr(0, space), "repeat") &&
                    SameWord(TrimSpace(flag.substr(space)), "fast");
        if (fast || SameWord(flag, "repeat")) {
            mapping->repeat = fast ? Repeat::Fast : Repeat::On;
            rest = TrimSpace(rest.substr(0, commas.back()));
            commas.pop_back();
        }
    }
    // The long action starts at the first comma followed by "long:".
    for (size_t comma : commas) {
        std::string after = TrimSpace(rest.substr(comma + 1));
        if (!StartsWithWord(after, kLongPrefix))
            continue;
        std::string longText = TrimSpace(after.substr(strlen(kLongPrefix)));
        if (longText.empty()) {
            *error = "long: needs an action";
            return false;
        }
        if (!ParseAction(longText, &mapping->longAction, error)) {
            *error = "long: " + *error;
            return false;
        }
        mapping->hasLong = true;
        rest = TrimSpace(rest.substr(0, comma));
        break;
    }
    if (!ParseAction(rest, &mapping->action, error))
        return false;
    if (mapping->hasLong && mapping->repeat != Repeat::Off) {
        *error = "a key with a long action does not repeat (remove one of them)";
        return false;
    }
    return true;
}
