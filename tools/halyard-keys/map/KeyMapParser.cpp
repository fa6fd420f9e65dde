// ParseKeyMap: the sections, their lines and the options of halyard.ini.

#include <string.h>

#include <algorithm>

#include "ButtonNames.h"
#include "KeyMap.h"
#include "MappingValue.h"
#include "Words.h"
#include "NameLines.h"

namespace {

// An option of [Options]: its name, where the map keeps it, its bounds and
// how they read.
struct Option {
    const char* name;
    unsigned KeyMap::*field;
    unsigned min;
    unsigned max;
    unsigned fallback;
    const char* range;
};

const Option kOptions[] = {
    {"RepeatGuardMs", &KeyMap::repeatGuardMs, 0, 10000, kDefaultRepeatGuardMs,
     "0 to 10000 milliseconds"},
    {"LongPressMs", &KeyMap::longPressMs, 100, 10000, kDefaultLongPressMs,
     "100 to 10000 milliseconds"},
    {"RepeatDelayMs", &KeyMap::repeatDelayMs, 0, 10000, kDefaultRepeatDelayMs,
     "0 to 10000 milliseconds"},
    {"ShowKeys", &KeyMap::showKeys, 0, 1, 0, "0 (off) or 1 (on)"},
    {"StepAside", &KeyMap::stepAside, 0, 1, 1, "0 (off) or 1 (on)"},
};
const size_t kOptionCount = sizeof(kOptions) / sizeof(kOptions[0]);
const char kKnownOptions[] =
    "RepeatGuardMs, LongPressMs, RepeatDelayMs, ShowKeys, StepAside, StartMode";
const char kStartMode[] = "StartMode";

class Parser {
public:
    explicit Parser(KeyMap* map) : map_(map), names_(map) {}

    void Finish()
    {
        names_.Finish();
        CheckModes();
    }

    void Line(int number, const std::string& raw)
    {
        std::string line = TrimSpace(raw);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            return;
        if (line[0] == '[') {
            Header(number, line);
            return;
        }
        if (state_ == State::Other)
            return; // [Custom] is the library's, anything else is not ours
        size_t equals = line.find('=');
        if (equals == std::string::npos) {
            Error(number, "expected 'name = value'");
            return;
        }
        std::string name = TrimSpace(line.substr(0, equals));
        std::string value = TrimSpace(line.substr(equals + 1));
        if (state_ == State::Keys)
            Key(number, name, value);
        else if (state_ == State::Names)
            names_.Name(number, name, value);
        else
            SetOption(number, name, value);
    }

private:
    enum class State { Other, Keys, Names, Options };

    void Error(int line, const std::string& message) { map_->errors.push_back({line, message}); }

    void Header(int number, const std::string& line)
    {
        state_ = State::Other;
        if (line.back() != ']') {
            Error(number, "a section name needs a closing ']'");
            return;
        }
        std::string name = TrimSpace(line.substr(1, line.size() - 2));
        if (SameWord(name, "Options")) {
            state_ = State::Options;
            return;
        }
        if (SameWord(name, "Names")) {
            state_ = State::Names;
            return;
        }
        size_t colon = name.find(':');
        std::string kind = TrimSpace(name.substr(0, colon));
        std::string rest = colon == std::string::npos ? std::string() : name.substr(colon + 1);
        if (SameWord(kind, "Keys"))
            KeysHeader(number, colon != std::string::npos, std::string(), TrimSpace(rest));
        else if (SameWord(kind, "Mode"))
            ModeHeader(number, rest);
    }

    // [Mode:<name>] or [Mode:<name>:<program>.exe].
    void ModeHeader(int number, const std::string& rest)
    {
        size_t colon = rest.find(':');
        std::string mode = TrimSpace(rest.substr(0, colon));
        if (!IsModeName(mode) || SameWord(mode, "off")) {
            Error(number, mode.empty() ? "[Mode:] needs the mode's name, as in [Mode:Mouse]"
                          : SameWord(mode, "off")
                              ? "'off' is no mode's name: mode: off ends every mode"
                              : "'" + mode + "' is not a mode's name (letters, digits and "
                                             "spaces; no : ] or ,)");
            return;
        }
        KeysHeader(number, colon != std::string::npos, mode,
                   colon == std::string::npos ? std::string() : TrimSpace(rest.substr(colon + 1)));
    }

    void KeysHeader(int number, bool hasProgram, const std::string& mode,
                    const std::string& program)
    {
        std::string kind = mode.empty() ? "[Keys:" : "[Mode:" + mode + ":";
        if (hasProgram && program.empty()) {
            Error(number, kind + "] needs the program's file name, as in " + kind + "vlc.exe]");
            return;
        }
        if (HasControlCharacter(program)) {
            Error(number, kind + "...] holds a control character: write the program's file "
                                 "name alone, as in " + kind + "vlc.exe]");
            return;
        }
        if (program.find_first_of("\\/") != std::string::npos) {
            Error(number, kind + program +
                              "] names a folder: write the program's file name alone, as in " +
                              kind + "vlc.exe]");
            return;
        }
        state_ = State::Keys;
        if (program.empty() && mode.empty())
            map_->hasKeysSection = true;
        // Sections are found again by name: a section written twice is one.
        for (size_t i = 0; i < map_->sections.size(); ++i) {
            if (_stricmp(map_->sections[i].program.c_str(), program.c_str()) == 0 &&
                _stricmp(map_->sections[i].mode.c_str(), mode.c_str()) == 0) {
                section_ = i;
                return;
            }
        }
        KeySection section;
        section.program = program;
        section.mode = mode;
        section.line = number;
        map_->sections.push_back(section);
        section_ = map_->sections.size() - 1;
    }

    void Key(int line, const std::string& name, const std::string& value)
    {
        unsigned code = 0;
        bool named = LooksLikeButtonName(name);
        if (!named && !ParseNumber(name, 255, &code)) {
            Error(line, "key code '" + name +
                            "' is not 0 to 255 (decimal, or hexadecimal with 0x)");
            return;
        }
        KeyMapping mapping;
        mapping.code = code;
        mapping.line = line;
        std::string error, ignored;
        if (named && !LookUpButtonName(name, &ignored)) {
            Error(line, UnknownNameMessage(name));
            return;
        }
        if (!ParseMappingValue(value, &mapping, &error)) {
            Error(line, error);
            return;
        }
        if (named) {
            names_.Mapping(section_, name, mapping, &error);
            return;
        }
        KeySection& section = map_->sections[section_];
        if (const KeyMapping* first = section.Find(code)) {
            Error(line, "key code " + DescribeCode(code) + " is mapped twice in " +
                            section.Name() + " (first on line " + std::to_string(first->line) +
                            ", which counts)");
            return;
        }
        section.mappings.push_back(mapping);
    }

    void SetOption(int line, const std::string& name, const std::string& value)
    {
        if (SameWord(name, kStartMode)) {
            if (startModeLine_) {
                Error(line, std::string(kStartMode) + " is set twice (first on line " +
                                std::to_string(startModeLine_) + ", which counts)");
                return;
            }
            startModeLine_ = line;
            map_->startMode = SameWord(value, "off") ? std::string() : value;
            return;
        }
        size_t index = 0;
        while (index < kOptionCount && !SameWord(name, kOptions[index].name))
            ++index;
        if (index == kOptionCount) {
            Error(line, "unknown option '" + name + "' (known: " + kKnownOptions + ")");
            return;
        }
        const Option& option = kOptions[index];
        if (optionLines_[index]) {
            Error(line, std::string(option.name) + " is set twice (first on line " +
                            std::to_string(optionLines_[index]) + ", which counts)");
            return;
        }
        unsigned number;
        if (!ParseNumber(value, option.max, &number) || number < option.min) {
            Error(line, std::string(option.name) + " must be " + option.range + "; " +
                            std::to_string(option.fallback) + " applies");
            return;
        }
        map_->*option.field = number;
        optionLines_[index] = line;
    }

    // Once the whole file is read: a mode: names a mode with a section, and
    // not the one its own section is for; so does StartMode.
    void CheckModes()
    {
        for (KeySection& section : map_->sections) {
            for (auto it = section.mappings.begin(); it != section.mappings.end();) {
                std::string error = ModeError(section, it->action);
                if (error.empty() && it->hasLong)
                    error = ModeError(section, it->longAction);
                if (error.empty()) {
                    ++it;
                    continue;
                }
                Error(it->line, error);
                it = section.mappings.erase(it);
            }
        }
        if (!map_->startMode.empty() && !map_->HasMode(map_->startMode)) {
            Error(startModeLine_, std::string(kStartMode) + "=" + map_->startMode +
                                      ": there is no [Mode:" + map_->startMode +
                                      "] section; no mode applies at the start");
            map_->startMode.clear();
        }
        std::stable_sort(map_->errors.begin(), map_->errors.end(),
                         [](const KeyMapError& a, const KeyMapError& b) { return a.line < b.line; });
    }

    std::string ModeError(const KeySection& section, const KeyAction& action) const
    {
        if (action.kind != KeyAction::Kind::Mode || action.mode.empty())
            return std::string();
        if (!map_->HasMode(action.mode))
            return "mode: " + action.mode + " has no [Mode:" + action.mode + "] section";
        if (_stricmp(action.mode.c_str(), section.mode.c_str()) == 0)
            return "mode: " + action.mode + " in " + section.Name() + " is its own mode already";
        return std::string();
    }

    KeyMap* map_;
    NameLines names_;
    int startModeLine_ = 0;
    State state_ = State::Other;
    size_t section_ = 0;
    int optionLines_[kOptionCount] = {};
};

} // namespace

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
    parser.Finish();
    return map;
}
