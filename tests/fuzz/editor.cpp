// The settings editor: a file and one edit made of the input (the Map a key
// dialog's save and remove, a menu option's line, the setup's names), and
// the file it writes. The edit changes the lines it names and no other byte
// of the file, and the map read from the new file is the one it meant.

#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <stdint.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "ButtonLines.h"
#include "CommonButtonActions.h"
#include "FuzzCheck.h"
#include "IniEdit.h"
#include "IniText.h"
#include "KeyMap.h"
#include "MappingValue.h"
#include "TextEncoding.h"

namespace {

struct Target {
    const char* section;
    const char* program;
    const char* mode;
};
const Target kTargets[] = {{"Keys", "", ""},
                           {"Keys:vlc.exe", "vlc.exe", ""},
                           {"Mode:Menu", "", "Menu"},
                           {"Mode:Menu:vlc.exe", "vlc.exe", "Menu"}};

const char* const kValues[] = {"Enter", "Ctrl+Shift+P", "VK_VOLUME_UP, repeat",
                               "Up, repeat fast", "Enter, long: Alt+F4", "run: notepad.exe",
                               "type: Hello, world", "nothing", "Ctrl+C, wait 200, Ctrl+V",
                               "show: vlc.exe", "Space"};

struct OptionLine {
    const char* name;
    unsigned KeyMap::*field;
    unsigned min, max;
};
const OptionLine kOptions[] = {{"RepeatGuardMs", &KeyMap::repeatGuardMs, 0, 10000},
                               {"LongPressMs", &KeyMap::longPressMs, 100, 10000},
                               {"RepeatDelayMs", &KeyMap::repeatDelayMs, 0, 10000},
                               {"ShowKeys", &KeyMap::showKeys, 0, 1},
                               {"StepAside", &KeyMap::stepAside, 0, 1}};

const char* const kButtons[] = {"KEY_OK", "KEY_UP", "KEY_VOLUMEUP", "KEY_MUTE", "KEY_1",
                                "KEY_MENU"};

// A line as the file holds it, found here apart from the code under test:
// its bytes and its line end's, in code units of the file's mark.
struct RawLine {
    std::string bytes;
    std::string end;
};

struct RawFile {
    std::string mark;
    std::vector<RawLine> lines;
    std::string tail; // UTF-16: half a code unit at the end
};

RawFile Split(const std::string& bytes)
{
    RawFile file;
    size_t unit = 1;
    bool big = false;
    if (bytes.compare(0, 2, "\xFF\xFE") == 0) {
        file.mark = bytes.substr(0, 2), unit = 2;
    } else if (bytes.compare(0, 2, "\xFE\xFF") == 0) {
        file.mark = bytes.substr(0, 2), unit = 2, big = true;
    } else if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        file.mark = bytes.substr(0, 3);
    }
    auto is = [&](size_t i, char c) {
        if (unit == 1)
            return bytes[i] == c;
        return big ? bytes[i] == 0 && bytes[i + 1] == c : bytes[i] == c && bytes[i + 1] == 0;
    };
    size_t start = file.mark.size();
    size_t end = bytes.size() - (bytes.size() - start) % unit;
    file.tail = bytes.substr(end);
    for (size_t i = start; i + unit <= end; i += unit) {
        if (!is(i, '\n'))
            continue;
        size_t content = i;
        if (content >= start + unit && is(content - unit, '\r'))
            content -= unit;
        file.lines.push_back({bytes.substr(start, content - start),
                              bytes.substr(content, i + unit - content)});
        start = i + unit;
    }
    if (start < end)
        file.lines.push_back({bytes.substr(start, end - start), ""});
    return file;
}

std::string Trim(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t");
    return begin == std::string::npos ? ""
                                      : text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

// The key an edit matches a line by: the text before '=' of a line that is
// no comment and no header.
bool KeyOf(const std::string& text, std::string* key)
{
    std::string trimmed = Trim(text);
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#' || trimmed[0] == '[')
        return false;
    size_t equals = text.find('=');
    if (equals == std::string::npos)
        return false;
    *key = Trim(text.substr(0, equals));
    return true;
}

// Every line of the old file is in the new one, in order and byte for byte
// with its line end, except the lines the edit names (named: by their key),
// which may go; and each line the new file adds is one the edit writes.
void CheckOnlyNamedLines(const std::string& before, const std::string& after,
                         const TextEncoding& encoding, const IniText::KeyMatch& named,
                         const std::vector<std::string>& written)
{
    RawFile a = Split(before), b = Split(after);
    Require(a.mark == b.mark && a.tail == b.tail, "the file keeps its mark and its last byte");
    auto text = [&](const RawLine& line) { return DecodeText(line.bytes, encoding); };
    auto isNamed = [&](const RawLine& line) {
        std::string key;
        return KeyOf(text(line), &key) && named(key);
    };
    auto isWritten = [&](const RawLine& line) {
        std::string t = text(line);
        for (const std::string& w : written) {
            if (t == w)
                return true;
        }
        return Trim(t).empty();
    };
    // The same line, with its end; a last line without an end gets one when
    // a line comes after it (and a CR it ended with becomes part of that end).
    auto same = [&](size_t i, size_t j) {
        const RawLine &was = a.lines[i], &is = b.lines[j];
        if (i + 1 == a.lines.size() && was.end.empty())
            return is.bytes.size() <= was.bytes.size() &&
                   (is.bytes + is.end).compare(0, was.bytes.size(), was.bytes) == 0;
        return was.bytes == is.bytes && was.end == is.end;
    };
    // What the two files share at their start and end, then whether the
    // rest of the old one becomes the rest of the new one by the old lines
    // the edit names going and the lines it writes coming.
    size_t na = a.lines.size(), nb = b.lines.size(), first = 0;
    while (first < na && first < nb && same(first, first))
        ++first;
    while (na > first && nb > first && same(na - 1, nb - 1))
        --na, --nb;
    size_t rows = na - first + 1, columns = nb - first + 1;
    if (rows * columns > (1u << 22))
        return; // a middle this large is no edit of a few lines; nothing to learn from it
    std::vector<char> isNamedLine(na - first), isWrittenLine(nb - first);
    for (size_t i = first; i < na; ++i)
        isNamedLine[i - first] = isNamed(a.lines[i]);
    for (size_t j = first; j < nb; ++j)
        isWrittenLine[j - first] = isWritten(b.lines[j]);
    std::vector<char> reach(rows * columns, 0); // [i][j]: a's rest from i becomes b's from j
    for (size_t i = na + 1; i-- > first;) {
        for (size_t j = nb + 1; j-- > first;) {
            auto at = [&](size_t x, size_t y) { return reach[(x - first) * columns + y - first]; };
            bool ok = (i == na && j == nb) ||
                      (i < na && j < nb && same(i, j) && at(i + 1, j + 1)) ||
                      (i < na && isNamedLine[i - first] && at(i + 1, j)) ||
                      (j < nb && isWrittenLine[j - first] && at(i, j + 1));
            reach[(i - first) * columns + j - first] = ok;
        }
    }
    Require(reach[0], "only the lines the edit names change",
            "from line " + std::to_string(first + 1) + ": was '" +
                (first < a.lines.size() ? a.lines[first].bytes : "") + "', is '" +
                (first < b.lines.size() ? b.lines[first].bytes : "") + "'");
    // (Unless that line went: then the one before it ends the file.)
    if (!a.lines.empty() && a.lines.back().end.empty() && !b.lines.empty() &&
        !isNamed(a.lines.back()))
        Require(b.lines.back().end.empty(), "a file without a last line end keeps it so");
}

std::string Describe(const KeySection* section, unsigned skip)
{
    std::string text;
    if (!section)
        return text;
    for (const KeyMapping& mapping : section->mappings) {
        // A mode: line is good only while its mode has a section, which a
        // new line may just have made.
        bool mode = mapping.action.kind == KeyAction::Kind::Mode ||
                    (mapping.hasLong && mapping.longAction.kind == KeyAction::Kind::Mode);
        if (mapping.code != skip && !mode)
            text += DescribeCode(mapping.code) + " " + DescribeMapping(mapping) + "\n";
    }
    return text;
}

// Every other section maps as it did, and the edited one, but for code.
void CheckOtherSections(const KeyMap& before, const KeyMap& after, const Target& target,
                        unsigned code)
{
    for (const KeySection& section : before.sections) {
        bool edited = _stricmp(section.program.c_str(), target.program) == 0 &&
                      _stricmp(section.mode.c_str(), target.mode) == 0;
        Require(Describe(&section, edited ? code : 256) ==
                    Describe(after.Section(section.program, section.mode), edited ? code : 256),
                "the other mappings stay as they were", section.Name());
    }
}

KeyMap MapOf(const std::string& bytes)
{
    return ParseKeyMap(DecodeTextFile(bytes));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The edit from the input's last bytes, the file from the rest.
    FuzzedDataProvider input(data, size);
    unsigned kind = input.ConsumeIntegralInRange<unsigned>(0, 3);
    unsigned code = input.ConsumeIntegral<uint8_t>();
    const Target& target = kTargets[input.ConsumeIntegralInRange<size_t>(0, 3)];
    size_t pick = input.ConsumeIntegral<uint8_t>();
    const size_t valueCount = sizeof(kValues) / sizeof(kValues[0]);
    std::string value = pick < valueCount ? kValues[pick] : "";
    std::string bytes = input.ConsumeRemainingBytesAsString();
    if (pick >= valueCount && pick < 2 * valueCount) { // a value of the file's own making
        size_t cut = bytes.find('\n');
        value = bytes.substr(0, cut == std::string::npos ? 0 : cut);
        bytes = cut == std::string::npos ? bytes : bytes.substr(cut + 1);
    }

    IniText text = IniText::Parse(bytes, 1252);
    KeyMap before = MapOf(bytes);
    std::string name = before.NameOf(code);
    IniText::KeyMatch named;
    std::vector<std::string> written;
    IniEdit edit;
    const OptionLine& option = kOptions[pick % (sizeof(kOptions) / sizeof(kOptions[0]))];
    unsigned optionValue = option.min + (pick * 97u) % (option.max - option.min + 1);
    const char* button = kButtons[pick % (sizeof(kButtons) / sizeof(kButtons[0]))];
    switch (kind) {
    case 0: // Map a key's save
    case 1: // and its remove
        named = MatchButton(code, name);
        written = {ButtonLine(code, name, value), std::string("[") + target.section + "]"};
        edit = kind == 0 ? SetLine(target.section, named, written[0])
                         : RemoveLines(target.section, named);
        break;
    case 2: // a menu option, as SaveSetting writes it
        named = MatchName(option.name);
        written = {std::string(option.name) + "=" + std::to_string(optionValue), "[Options]"};
        edit = SetLine("Options", named, written[0]);
        break;
    case 3: { // the setup's names, and their common actions
        // The code's line, and every line that gives the button's name to
        // another code.
        std::vector<IniText::KeyMatch> codes = {MatchKeyCode(code)};
        for (const RawLine& line : Split(bytes).lines) {
            std::string t = DecodeText(line.bytes, text.encoding()), key;
            size_t equals = t.find('=');
            if (!KeyOf(t, &key) || _stricmp(Trim(t.substr(equals + 1)).c_str(), button) != 0)
                continue;
            for (unsigned other = 0; other < 256; ++other) {
                if (MatchKeyCode(other)(key))
                    codes.push_back(MatchKeyCode(other)); // each line of that code goes
            }
        }
        named = [codes](const std::string& key) {
            for (const IniText::KeyMatch& match : codes) {
                if (match(key))
                    return true;
            }
            return false;
        };
        char line[32];
        snprintf(line, sizeof(line), "0x%02X = %s", code, button);
        written = {line, "[Names]", "[Keys]"};
        bool common = pick & 1;
        edit = [=](IniText* text, std::string* error) {
            size_t added;
            return AddButtonLines(text, {{code, button}}, common, &added, error);
        };
        break;
    }
    }
    IniText edited = text;
    std::string error;
    bool ok = edit(&edited, &error);
    std::string after = edited.Bytes();
    if (!ok) {
        Require(after == bytes, "a refused edit changes nothing", error);
        return 0;
    }
    if (const char* dump = getenv("HALYARD_FUZZ_DUMP")) { // the new file, to look into a finding
        if (FILE* file = fopen(dump, "wb")) {
            fwrite(after.data(), 1, after.size(), file);
            fclose(file);
        }
    }
    KeyMap map = MapOf(after);
    if (kind == 3) { // the common actions' lines: "KEY_... = <action>" in [Keys]
        std::vector<std::string> names = {button};
        for (const ButtonName& named : map.names)
            names.push_back(named.name);
        for (const std::string& name : names) {
            if (!CommonButtonAction(name).empty())
                written.push_back(name + " = " + CommonButtonAction(name));
        }
        // And the ready mouse mode's, entered by whichever toggle was free.
        written.push_back(std::string("[Mode:") + kMouseMode + "]");
        size_t count = 0;
        const char* const* toggles = MouseModeToggles(&count);
        for (size_t i = 0; i < count; ++i) {
            written.push_back(std::string(toggles[i]) + " = mode: " + kMouseMode);
            for (const std::string& name : names) {
                std::string action = CommonMouseAction(name, toggles[i]);
                if (!action.empty())
                    written.push_back(name + " = " + action);
            }
        }
    }
    CheckOnlyNamedLines(bytes, after, text.encoding(), named, written);

    // The map the edit meant.
    switch (kind) {
    case 0: {
        KeyMapping meant;
        std::string refusal;
        if (!ParseMappingValue(value, &meant, &refusal))
            break; // the dialog saves only what the map takes (MappingForm)
        const KeySection* section = map.Section(target.program, target.mode);
        const KeyMapping* mapping = section ? section->Find(code) : nullptr;
        Require(mapping && DescribeMapping(*mapping) == DescribeMapping(meant),
                "the saved line maps the key", written[0]);
        CheckOtherSections(before, map, target, code);
        break;
    }
    case 1: {
        const KeySection* section = map.Section(target.program, target.mode);
        Require(!section || !section->Find(code), "a removed key is not mapped there");
        CheckOtherSections(before, map, target, code);
        break;
    }
    case 2:
        Require(map.*option.field == optionValue, "the option is what the menu wrote",
                written[0]);
        break;
    case 3:
        Require(map.NameOf(code) == button, "the setup named the button", written[0]);
        break;
    }
    return 0;
}
