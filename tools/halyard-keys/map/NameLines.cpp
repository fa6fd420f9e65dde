#include "NameLines.h"

#include <algorithm>

#include "ButtonNames.h"
#include "MappingValue.h"
#include "Words.h"

std::string UnknownNameMessage(const std::string& name)
{
    return "'" + name + "' is not a button name (the names are Linux's input event names, " +
           "as in KEY_OK, KEY_VOLUMEUP, KEY_1)";
}

void NameLines::Error(int line, const std::string& message)
{
    map_->errors.push_back({line, message});
}

void NameLines::Name(int line, const std::string& key, const std::string& value)
{
    unsigned code;
    if (!ParseNumber(key, 255, &code)) {
        Error(line, "key code '" + key + "' is not 0 to 255 (decimal, or hexadecimal with 0x)");
        return;
    }
    std::string name;
    if (!LookUpButtonName(value, &name)) {
        Error(line, value.empty() ? "no button name after '='" : UnknownNameMessage(value));
        return;
    }
    for (const ButtonName& known : map_->names) {
        if (known.code == code) {
            Error(line, "key code " + DescribeCode(code) + " is named twice (first on line " +
                            std::to_string(known.line) + ", " + known.name + ", which counts)");
            return;
        }
        if (known.name == name) {
            Error(line, name + " is given to two key codes (first to " + DescribeCode(known.code) +
                            " on line " + std::to_string(known.line) + ", which counts)");
            return;
        }
    }
    map_->names.push_back({code, name, line});
}

bool NameLines::Mapping(size_t section, const std::string& name, KeyMapping mapping,
                        std::string* error)
{
    if (!LookUpButtonName(name, &mapping.name)) {
        *error = UnknownNameMessage(name);
        return false;
    }
    pending_.push_back({section, mapping});
    return true;
}

// A code line and a name line for one button: the first in the file counts,
// as for two code lines, and the other is reported where it stands.
void NameLines::Place(const Pending& pending)
{
    KeyMapping mapping = pending.mapping;
    if (!map_->CodeOf(mapping.name, &mapping.code)) {
        Error(mapping.line, mapping.name + " is no button's name yet: give it to its key code " +
                                "in [Names], as in 0x12 = " + mapping.name);
        return;
    }
    KeySection& section = map_->sections[pending.section];
    auto first = [](const KeyMapping& m) {
        return m.name.empty() ? DescribeCode(m.code) : m.name;
    };
    for (auto it = section.mappings.begin(); it != section.mappings.end(); ++it) {
        if (it->code != mapping.code)
            continue;
        const KeyMapping& earlier = it->line < mapping.line ? *it : mapping;
        const KeyMapping& later = it->line < mapping.line ? mapping : *it;
        Error(later.line, (later.name.empty() ? "key code " + DescribeCode(later.code)
                                              : DescribeButton(*map_, later.code)) +
                              " is mapped twice in " + section.Name() + " (first on line " +
                              std::to_string(earlier.line) + " as " + first(earlier) +
                              ", which counts)");
        if (&earlier != &mapping)
            return;
        section.mappings.erase(it);
        break;
    }
    // Kept in file order, as the listing shows them.
    auto at = std::find_if(section.mappings.begin(), section.mappings.end(),
                           [&](const KeyMapping& m) { return m.line > mapping.line; });
    section.mappings.insert(at, mapping);
}

void NameLines::Finish()
{
    for (const Pending& pending : pending_)
        Place(pending);
    pending_.clear();
    std::stable_sort(map_->errors.begin(), map_->errors.end(),
                     [](const KeyMapError& a, const KeyMapError& b) { return a.line < b.line; });
}
