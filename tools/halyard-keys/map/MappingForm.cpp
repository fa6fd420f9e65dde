#include "MappingForm.h"

#include <stdio.h>

#include "MappingValue.h"
#include "Words.h"
#include "resource.h"

namespace {

bool ComposeAction(const ActionChoice& choice, std::string* text, FormError* error)
{
    switch (choice.kind) {
    case ActionChoice::Kind::Keystroke:
        *text = TrimSpace(choice.keys);
        if (text->empty()) {
            error->stringId = IDS_FORM_NO_KEYSTROKE;
            return false;
        }
        return true;
    case ActionChoice::Kind::Common:
        if (choice.common >= CommonActions().size()) {
            error->stringId = IDS_FORM_NO_COMMON_ACTION;
            return false;
        }
        *text = CommonActions()[choice.common];
        return true;
    case ActionChoice::Kind::Run:
        if (TrimSpace(choice.command).empty()) {
            error->stringId = IDS_FORM_NO_COMMAND;
            return false;
        }
        *text = "run: " + TrimSpace(choice.command);
        return true;
    case ActionChoice::Kind::Nothing:
        *text = "nothing";
        return true;
    }
    return false;
}

ActionChoice ChoiceFor(const KeyAction& action)
{
    ActionChoice choice;
    if (action.kind == KeyAction::Kind::Nothing) {
        choice.kind = ActionChoice::Kind::Nothing;
    } else if (action.kind == KeyAction::Kind::Run) {
        choice.kind = ActionChoice::Kind::Run;
        choice.command = action.command;
    } else {
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
    }
    return choice;
}

} // namespace

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

bool ComposeMapping(const MappingChoices& choices, std::string* value, FormError* error)
{
    std::string text, longText;
    if (!ComposeAction(choices.action, &text, error))
        return false;
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
        if (!ComposeAction(choices.longAction, &longText, error)) {
            error->held = true;
            return false;
        }
        text += ", long: " + longText;
        break;
    }
    KeyMapping mapping;
    if (!ParseMappingValue(text, &mapping, &error->mapMessage)) {
        error->stringId = IDS_FORM_MAP_REFUSES;
        return false;
    }
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
        error->stringId = IDS_FORM_BAD_PROGRAM;
        return false;
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
