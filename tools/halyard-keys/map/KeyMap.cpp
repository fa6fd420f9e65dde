#include "KeyMap.h"

#include <stdio.h>
#include <string.h>

#include "KeyNames.h"

const KeyMapping* KeySection::Find(unsigned code) const
{
    for (const KeyMapping& mapping : mappings) {
        if (mapping.code == code)
            return &mapping;
    }
    return nullptr;
}

std::string KeySection::Name() const
{
    return program.empty() ? "[Keys]" : "[Keys:" + program + "]";
}

const KeySection* KeyMap::Section(const std::string& program) const
{
    for (const KeySection& section : sections) {
        if (_stricmp(section.program.c_str(), program.c_str()) == 0)
            return &section;
    }
    return nullptr;
}

const KeyMapping* KeyMap::Find(unsigned code, const std::string& program,
                               const KeySection** from) const
{
    const KeySection* candidates[] = {program.empty() ? nullptr : Section(program), Section("")};
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
    if (action.kind == KeyAction::Kind::Nothing)
        return "nothing";
    if (action.kind == KeyAction::Kind::Run)
        return "run: " + action.command;
    std::string text;
    for (WORD vk : action.keys)
        text += (text.empty() ? "" : "+") + KeyName(vk);
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
