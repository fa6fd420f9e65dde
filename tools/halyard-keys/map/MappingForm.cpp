#include "MappingForm.h"

#include <stdio.h>
#include <string.h>

#include "MappingValue.h"
#include "Strings.h"
#include "Words.h"

namespace {

bool Refuse(FormError* error, const char* text, const std::string& detail = std::string())
{
    error->text = text;
    error->detail = detail;
    return false;
}

// The keystrokes and waits of the sequence field, as the map writes them.
// The field is read by the map's own parser, and must hold a sequence alone:
// a repeat or long: typed there would make another line than the form says.
bool ComposeSequence(const std::string& typed, std::string* text, FormError* error)
{
    if (typed.empty())
        return Refuse(error, strings::kFormNoSequence);
    KeyMapping mapping;
    std::string message;
    if (!ParseMappingValue(typed, &mapping, &message))
        return Refuse(error, strings::kFormMapRefuses, message);
    if (mapping.action.kind != KeyAction::Kind::Keys || mapping.hasLong ||
        mapping.repeat != Repeat::Off)
        return Refuse(error, strings::kFormNotASequence);
    *text = DescribeAction(mapping.action);
    return true;
}

// A mode the map has no section for is a bad line of the file; the map's
// own spelling of the name is written.
bool ComposeMode(const ActionChoice& choice, const KeyMap& map, std::string* text,
                 FormError* error)
{
    std::string name = TrimSpace(choice.mode);
    if (name.empty())
        return Refuse(error, strings::kFormNoMode);
    if (SameWord(name, "off")) {
        name = "off";
    } else if (IsModeName(name)) {
        if (!map.HasMode(name))
            return Refuse(error, strings::kFormNoModeSection, name);
        name = map.ModeName(name);
    }
    // A name that is no mode's name at all is the parser's to explain.
    *text = "mode: " + name + (choice.once ? ", once" : "");
    return true;
}

bool ComposeAction(const ActionChoice& choice, const KeyMap& map, std::string* text,
                   FormError* error)
{
    switch (choice.kind) {
    case ActionChoice::Kind::Keystroke:
        *text = TrimSpace(choice.keys);
        return !text->empty() || Refuse(error, strings::kFormNoKeystroke);
    case ActionChoice::Kind::Sequence:
        return ComposeSequence(TrimSpace(choice.sequence), text, error);
    case ActionChoice::Kind::Common:
        if (choice.common >= CommonActions().size())
            return Refuse(error, strings::kFormNoCommonAction);
        *text = CommonActions()[choice.common];
        return true;
    case ActionChoice::Kind::Type:
        if (TrimSpace(choice.text).empty())
            return Refuse(error, strings::kFormNoText);
        *text = "type: " + TrimSpace(choice.text);
        return true;
    case ActionChoice::Kind::Run:
    case ActionChoice::Kind::Show: {
        bool run = choice.kind == ActionChoice::Kind::Run;
        if (TrimSpace(choice.command).empty())
            return Refuse(error, run ? strings::kFormNoCommand : strings::kFormNoShow);
        *text = (run ? "run: " : "show: ") + TrimSpace(choice.command);
        return true;
    }
    case ActionChoice::Kind::Mode:
        return ComposeMode(choice, map, text, error);
    case ActionChoice::Kind::Nothing:
        *text = "nothing";
        return true;
    }
    return false;
}

ActionChoice ChoiceFor(const KeyAction& action)
{
    ActionChoice choice;
    switch (action.kind) {
    case KeyAction::Kind::Nothing:
        choice.kind = ActionChoice::Kind::Nothing;
        return choice;
    case KeyAction::Kind::Run:
    case KeyAction::Kind::Show:
        choice.kind = action.kind == KeyAction::Kind::Run ? ActionChoice::Kind::Run
                                                          : ActionChoice::Kind::Show;
        choice.command = action.command;
        return choice;
    case KeyAction::Kind::Type:
        choice.kind = ActionChoice::Kind::Type;
        choice.text = action.text;
        return choice;
    case KeyAction::Kind::Mode:
        choice.kind = ActionChoice::Kind::Mode;
        choice.mode = action.mode.empty() ? "off" : action.mode;
        choice.once = action.once;
        return choice;
    case KeyAction::Kind::Pointer:
        // No form of its own: the keystroke's box holds it as written, and
        // saving the key unchanged writes it back.
        choice.keys = DescribeAction(action);
        return choice;
    case KeyAction::Kind::Keys:
        break;
    }
    if (action.steps.size() > 1) {
        choice.kind = ActionChoice::Kind::Sequence;
        choice.sequence = DescribeAction(action);
        return choice;
    }
    choice.keys = DescribeAction(action);
    const std::vector<std::string>& common = CommonActions();
    for (size_t i = 0; i < common.size(); ++i) {
        // Compared as the map reads them: VK_RETURN is Enter.
        KeyMapping mapping;
        std::string ignored;
        if (ParseMappingValue(common[i], &mapping, &ignored) &&
            DescribeAction(mapping.action) == DescribeAction(action)) {
            choice.kind = ActionChoice::Kind::Common;
            choice.common = i;
        }
    }
    return choice;
}

} // namespace

std::vector<std::string> ModesOf(const KeyMap& map)
{
    std::vector<std::string> modes;
    for (const KeySection& section : map.sections) {
        if (section.mode.empty())
            continue;
        std::string name = map.ModeName(section.mode);
        bool listed = false;
        for (const std::string& mode : modes)
            listed = listed || _stricmp(mode.c_str(), name.c_str()) == 0;
        if (!listed)
            modes.push_back(name);
    }
    return modes;
}

const std::vector<std::string>& CommonActions()
{
    static const std::vector<std::string> actions = {
        "VK_MEDIA_PLAY_PAUSE", "VK_MEDIA_STOP", "VK_MEDIA_NEXT_TRACK", "VK_MEDIA_PREV_TRACK",
        "VK_VOLUME_UP",        "VK_VOLUME_DOWN", "VK_VOLUME_MUTE",     "Up",
        "Down",                "Left",           "Right",              "Enter",
        "Esc",                 "Space",          "Backspace",          "PageUp",
        "PageDown",            "Home",           "End",                "F11",
        "Alt+Enter",           "Alt+F4",         "Alt+Tab",
    };
    return actions;
}

bool ComposeMapping(const MappingChoices& choices, const KeyMap& map, std::string* value,
                    FormError* error)
{
    std::string text, longText;
    if (!ComposeAction(choices.action, map, &text, error))
        return false;
    // What follows type: is all text: a repeat or long: there would be typed.
    if (choices.action.kind == ActionChoice::Kind::Type && choices.held != MappingChoices::Held::Once) {
        error->held = true;
        return Refuse(error, strings::kFormTypeActsOnce);
    }
    switch (choices.held) {
    case MappingChoices::Held::Once:
        break;
    case MappingChoices::Held::Repeat:
        text += ", repeat";
        break;
    case MappingChoices::Held::RepeatFast:
        text += ", repeat fast";
        break;
    case MappingChoices::Held::Long:
        if (!ComposeAction(choices.longAction, map, &longText, error)) {
            error->held = true;
            return false;
        }
        text += ", long: " + longText;
        break;
    }
    KeyMapping mapping;
    std::string message;
    if (!ParseMappingValue(text, &mapping, &message))
        return Refuse(error, strings::kFormMapRefuses, message);
    *value = text;
    return true;
}

MappingChoices ChoicesFor(const KeyMapping& mapping)
{
    MappingChoices choices;
    choices.action = ChoiceFor(mapping.action);
    if (mapping.hasLong) {
        choices.held = MappingChoices::Held::Long;
        choices.longAction = ChoiceFor(mapping.longAction);
    } else if (mapping.repeat == Repeat::On) {
        choices.held = MappingChoices::Held::Repeat;
    } else if (mapping.repeat == Repeat::Fast) {
        choices.held = MappingChoices::Held::RepeatFast;
    }
    return choices;
}

bool SectionFor(const std::string& program, std::string* section, FormError* error)
{
    std::string name = TrimSpace(program);
    if (program.empty()) {
        *section = "Keys";
        return true;
    }
    if (name.empty() || name.find_first_of("\\/:[]=;\"") != std::string::npos) {
        return Refuse(error, strings::kFormBadProgram);
    }
    *section = "Keys:" + name;
    return true;
}

std::string MappingLine(unsigned code, const std::string& value)
{
    char key[8];
    snprintf(key, sizeof(key), "0x%02X", code);
    return std::string(key) + " = " + value;
}
