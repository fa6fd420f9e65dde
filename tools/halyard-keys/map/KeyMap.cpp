#include "KeyMap.h"

#include <stdio.h>
#include <string.h>

#include "KeyNames.h"

namespace {

const unsigned kMaxRepeatGuardMs = 10000;

std::string Trim(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return std::string();
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

bool SameWord(const std::string& a, const char* b)
{
    return _stricmp(a.c_str(), b) == 0;
}

// Decimal, or hexadecimal with 0x; false when not a number up to max.
bool ParseNumber(const std::string& text, unsigned max, unsigned* value)
{
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    size_t start = hex ? 2 : 0;
    if (text.size() <= start)
        return false;
    unsigned long result = 0;
    for (size_t i = start; i < text.size(); ++i) {
        char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        result = result * (hex ? 16 : 10) + digit;
        if (result > max)
            return false;
    }
    *value = static_cast<unsigned>(result);
    return true;
}

// The text after the last comma outside quotes (a comma inside quotes is part
// of a command line); false when there is none.
bool TrailingFlag(const std::string& value, size_t* comma, std::string* flag)
{
    bool quoted = false;
    *comma = std::string::npos;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '"')
            quoted = !quoted;
        else if (value[i] == ',' && !quoted)
            *comma = i;
    }
    if (*comma == std::string::npos)
        return false;
    *flag = Trim(value.substr(*comma + 1));
    return true;
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
        std::string name = Trim(text.substr(start, plus == std::string::npos ? plus : plus - start));
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

bool ParseAction(std::string value, KeyAction* action, std::string* error)
{
    bool run = value.size() >= 4 && _strnicmp(value.c_str(), "run:", 4) == 0;
    size_t comma;
    std::string flag;
    if (TrailingFlag(value, &comma, &flag)) {
        if (SameWord(flag, "repeat")) {
            action->repeat = true;
            value = Trim(value.substr(0, comma));
        } else if (!run) { // a command line may hold commas of its own
            *error = "unknown setting '" + flag + "' after the comma (only 'repeat' is known)";
            return false;
        }
    }
    if (run)
        return ParseRun(Trim(value.substr(4)), action, error);
    if (value.empty()) {
        *error = "no action after '='";
        return false;
    }
    return ParseCombination(value, action, error);
}

class Parser {
public:
    explicit Parser(KeyMap* map) : map_(map) {}

    void Line(int number, const std::string& raw)
    {
        std::string line = Trim(raw);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            return;
        if (line[0] == '[') {
            if (line.back() != ']') {
                Error(number, "a section name needs a closing ']'");
                section_ = Section::Other;
                return;
            }
            std::string name = Trim(line.substr(1, line.size() - 2));
            section_ = SameWord(name, "Keys")      ? Section::Keys
                       : SameWord(name, "Options") ? Section::Options
                                                   : Section::Other;
            if (section_ == Section::Keys)
                map_->hasKeysSection = true;
            return;
        }
        if (section_ == Section::Other)
            return; // [Custom] is the library's, anything else is not ours
        size_t equals = line.find('=');
        if (equals == std::string::npos) {
            Error(number, "expected 'name = value'");
            return;
        }
        std::string name = Trim(line.substr(0, equals));
        std::string value = Trim(line.substr(equals + 1));
        if (section_ == Section::Keys)
            Key(number, name, value);
        else
            Option(number, name, value);
    }

private:
    enum class Section { Other, Keys, Options };

    void Error(int line, const std::string& message) { map_->errors.push_back({line, message}); }

    void Key(int line, const std::string& name, const std::string& value)
    {
        unsigned code;
        if (!ParseNumber(name, 255, &code)) {
            Error(line, "key code '" + name +
                            "' is not 0 to 255 (decimal, or hexadecimal with 0x)");
            return;
        }
        KeyMapping mapping;
        mapping.code = code;
        mapping.line = line;
        std::string error;
        if (!ParseAction(value, &mapping.action, &error)) {
            Error(line, error);
            return;
        }
        if (const KeyMapping* first = map_->Find(code)) {
            Error(line, "key code " + DescribeCode(code) + " is mapped twice (first on line " +
                            std::to_string(first->line) + ", which counts)");
            return;
        }
        map_->mappings.push_back(mapping);
    }

    void Option(int line, const std::string& name, const std::string& value)
    {
        if (!SameWord(name, "RepeatGuardMs")) {
            Error(line, "unknown option '" + name + "' (known: RepeatGuardMs)");
            return;
        }
        if (repeatGuardLine_) {
            Error(line, "RepeatGuardMs is set twice (first on line " +
                            std::to_string(repeatGuardLine_) + ", which counts)");
            return;
        }
        unsigned ms;
        if (!ParseNumber(value, kMaxRepeatGuardMs, &ms)) {
            Error(line, "RepeatGuardMs must be 0 to " + std::to_string(kMaxRepeatGuardMs) +
                            " milliseconds; " + std::to_string(kDefaultRepeatGuardMs) +
                            " applies");
            return;
        }
        repeatGuardLine_ = line;
        map_->repeatGuardMs = ms;
    }

    KeyMap* map_;
    Section section_ = Section::Other;
    int repeatGuardLine_ = 0;
};

} // namespace

const KeyMapping* KeyMap::Find(unsigned code) const
{
    for (const KeyMapping& mapping : mappings) {
        if (mapping.code == code)
            return &mapping;
    }
    return nullptr;
}

KeyMap ParseKeyMap(const std::string& text)
{
    KeyMap map;
    Parser parser(&map);
    size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    int number = 1;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        parser.Line(number++, line);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return map;
}

std::string DescribeAction(const KeyAction& action)
{
    std::string text;
    if (action.kind == KeyAction::Kind::Run) {
        text = "run: " + action.command;
    } else {
        for (WORD vk : action.keys)
            text += (text.empty() ? "" : "+") + KeyName(vk);
    }
    return action.repeat ? text + ", repeat" : text;
}

std::string DescribeCode(unsigned code)
{
    char text[24];
    snprintf(text, sizeof(text), "0x%02X (%u)", code, code);
    return text;
}
