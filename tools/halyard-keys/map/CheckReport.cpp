#include "CheckReport.h"

#include <stdio.h>

#include "Strings.h"

namespace {

std::string Format(const char* format, unsigned a, const char* b = "", unsigned c = 0,
                   const char* d = "")
{
    char text[128];
    snprintf(text, sizeof(text), format, a, b, c, d);
    return text;
}

// A listing's line: the code, the button's name where the map has names,
// what it does, and where it stands.
std::string Row(unsigned code, const std::string& name, bool named, const std::string& what,
                int line)
{
    std::string text = DescribeCode(code);
    text.resize(text.size() < 10 ? 10 : text.size(), ' ');
    if (named) {
        std::string column = name;
        column.resize(column.size() < 16 ? 16 : column.size(), ' ');
        text += "  " + column;
    }
    if (!what.empty())
        text += "  " + what;
    return "  " + text + "   (" + strings::kLine + std::to_string(line) + ")\n";
}

} // namespace

std::string ErrorLines(const KeyMap& map)
{
    std::string text;
    for (const KeyMapError& error : map.errors)
        text += strings::kLine + std::to_string(error.line) + ": " + error.message + "\n";
    return text;
}

std::string CheckReport(const std::string& iniPath, const KeyMap& map)
{
    std::string text = iniPath + "\n";
    bool named = !map.names.empty();
    if (named) {
        text += "[Names]\n";
        for (const ButtonName& name : map.names)
            text += Row(name.code, name.name, false, name.name, name.line);
    }
    for (const KeySection& section : map.sections) {
        text += section.Name() + "\n";
        for (const KeyMapping& mapping : section.mappings)
            text += Row(mapping.code, map.NameOf(mapping.code), named, DescribeMapping(mapping),
                        mapping.line);
    }
    if (!map.hasKeysSection && map.sections.empty())
        text += std::string(strings::kNoKeysMapped) + "\n";
    char options[256];
    snprintf(options, sizeof(options), strings::kTimings, map.repeatGuardMs, map.longPressMs,
             map.repeatDelayMs, map.showKeys ? strings::kOn : strings::kOff,
             map.stepAside ? strings::kOn : strings::kOff);
    text += std::string(options) + "\n";
    if (!map.startMode.empty())
        text += strings::kStartModeReport + map.startMode + "\n";
    text += ErrorLines(map);
    return text + Summary(map) + "\n";
}

std::string Summary(const KeyMap& map)
{
    unsigned keys = static_cast<unsigned>(map.MappingCount());
    unsigned bad = static_cast<unsigned>(map.errors.size());
    return Format(strings::kSummary, keys, keys == 1 ? "" : "s", bad, bad == 1 ? "" : "s");
}
