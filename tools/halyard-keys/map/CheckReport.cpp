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
    for (const KeySection& section : map.sections) {
        text += section.Name() + "\n";
        for (const KeyMapping& mapping : section.mappings) {
            std::string code = DescribeCode(mapping.code);
            code.resize(code.size() < 10 ? 10 : code.size(), ' ');
            text += "  " + code + "  " + DescribeMapping(mapping) + "   (" + strings::kLine +
                    std::to_string(mapping.line) + ")\n";
        }
    }
    if (!map.hasKeysSection && map.sections.empty())
        text += std::string(strings::kNoKeysMapped) + "\n";
    char options[256];
    snprintf(options, sizeof(options), strings::kTimings, map.repeatGuardMs, map.longPressMs,
             map.repeatDelayMs, map.showKeys ? strings::kOn : strings::kOff,
             map.stepAside ? strings::kOn : strings::kOff);
    text += std::string(options) + "\n";
    text += ErrorLines(map);
    return text + Summary(map) + "\n";
}

std::string Summary(const KeyMap& map)
{
    unsigned keys = static_cast<unsigned>(map.MappingCount());
    unsigned bad = static_cast<unsigned>(map.errors.size());
    return Format(strings::kSummary, keys, keys == 1 ? "" : "s", bad, bad == 1 ? "" : "s");
}
