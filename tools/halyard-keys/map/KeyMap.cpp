#include "KeyMap.h"

#include <stdio.h>
#include <string.h>

#include "KeyNames.h"
#include "PointerNames.h"

const KeyMapping* KeySection::Find(unsigned code) const
{
    for (const KeyMapping& mapping : mappings) {
        if (mapping.code == code)
            return &mapping;
    }
    return nullptr;
}

unsigned KeyAction::WaitMs() const
{
    unsigned total = 0;
    for (const KeyStep& step : steps)
        total += step.waitMs;
    return total;
}

std::string KeySection::Name() const
{
    std::string suffix = program.empty() ? "" : ":" + program;
    return mode.empty() ? "[Keys" + suffix + "]" : "[Mode:" + mode + suffix + "]";
}

const KeySection* KeyMap::Section(const std::string& program, const std::string& mode) const
{
    for (const KeySection& section : sections) {
        if (_stricmp(section.program.c_str(), program.c_str()) == 0 &&
            _stricmp(section.mode.c_str(), mode.c_str()) == 0)
            return &section;
    }
    return nullptr;
}

bool KeyMap::HasMode(const std::string& mode) const
{
    return !ModeName(mode).empty();
}

std::string KeyMap::ModeName(const std::string& mode) const
{
    for (const KeySection& section : sections) {
        if (!mode.empty() && _stricmp(section.mode.c_str(), mode.c_str()) == 0)
            return section.mode;
    }
    return std::string();
}

const KeyMapping* KeyMap::Find(unsigned code, const std::string& program,
                               const KeySection** from, const std::string& mode) const
{
    bool inMode = !mode.empty(), forProgram = !program.empty();
    const KeySection* candidates[] = {inMode && forProgram ? Section(program, mode) : nullptr,
                                      inMode ? Section("", mode) : nullptr,
                                      forProgram ? Section(program) : nullptr, Section("")};
    for (const KeySection* section : candidates) {
        const KeyMapping* mapping = section ? section->Find(code) : nullptr;
        if (mapping) {
            if (from)
                *from = section;
            return mapping;
        }
    }
    return nullptr;
}

bool KeyMap::HasProgramSections() const
{
    for (const KeySection& section : sections) {
        if (!section.program.empty())
            return true;
    }
    return false;
}

size_t KeyMap::MappingCount() const
{
    size_t count = 0;
    for (const KeySection& section : sections)
        count += section.mappings.size();
    return count;
}

std::string KeyMap::NameOf(unsigned code) const
{
    for (const ButtonName& name : names) {
        if (name.code == code)
            return name.name;
    }
    return std::string();
}

bool KeyMap::CodeOf(const std::string& name, unsigned* code) const
{
    for (const ButtonName& known : names) {
        if (_stricmp(known.name.c_str(), name.c_str()) == 0) {
            *code = known.code;
            return true;
        }
    }
    return false;
}

std::string DescribeAction(const KeyAction& action)
{
    switch (action.kind) {
    case KeyAction::Kind::Nothing:
        return "nothing";
    case KeyAction::Kind::Run:
        return "run: " + action.command;
    case KeyAction::Kind::Show:
        return "show: " + action.command;
    case KeyAction::Kind::Type:
        return "type: " + action.text;
    case KeyAction::Kind::Mode:
        return "mode: " + (action.mode.empty() ? std::string("off") : action.mode) +
               (action.once ? ", once" : "");
    case KeyAction::Kind::Pointer:
        return "mouse: " + PointerActionName(action.pointer);
    case KeyAction::Kind::Keys:
        break;
    }
    std::string text;
    for (const KeyStep& step : action.steps) {
        if (!text.empty())
            text += ", ";
        if (step.keys.empty())
            text += "wait " + std::to_string(step.waitMs);
        for (size_t i = 0; i < step.keys.size(); ++i)
            text += (i ? "+" : "") + KeyName(step.keys[i]);
    }
    return text;
}

std::string DescribeMapping(const KeyMapping& mapping)
{
    std::string text = DescribeAction(mapping.action);
    if (mapping.hasLong)
        text += ", long: " + DescribeAction(mapping.longAction);
    if (mapping.repeat == Repeat::On)
        text += ", repeat";
    else if (mapping.repeat == Repeat::Fast)
        text += ", repeat fast";
    return text;
}

std::string DescribeCode(unsigned code)
{
    char text[24];
    snprintf(text, sizeof(text), "0x%02X (%u)", code, code);
    return text;
}

std::string DescribeButton(const KeyMap& map, unsigned code)
{
    std::string name = map.NameOf(code);
    if (name.empty())
        return DescribeCode(code);
    char text[16];
    snprintf(text, sizeof(text), " (0x%02X)", code);
    return name + text;
}
