#include <gtest/gtest.h>

#include <algorithm>

#include "KeyCaptureField.h"
#include "MappingForm.h"
#include "resource.h"

namespace {

using Kind = ActionChoice::Kind;
using Held = MappingChoices::Held;

ActionChoice Keystroke(const char* keys)
{
    ActionChoice choice;
    choice.keys = keys;
    return choice;
}

ActionChoice Common(const char* keys)
{
    ActionChoice choice;
    choice.kind = Kind::Common;
    const std::vector<std::string>& actions = CommonActions();
    choice.common = std::find(actions.begin(), actions.end(), keys) - actions.begin();
    return choice;
}

ActionChoice Program(const char* command)
{
    ActionChoice choice;
    choice.kind = Kind::Run;
    choice.command = command;
    return choice;
}

MappingChoices Choices(ActionChoice action, Held held = Held::Once,
                       ActionChoice longAction = ActionChoice())
{
    MappingChoices choices;
    choices.action = action;
    choices.held = held;
    choices.longAction = longAction;
    return choices;
}

TEST(MappingFormTest, TheAnswersMakeTheLineAUserWouldWrite)
{
    struct Case {
        MappingChoices choices;
        const char* value; // null: refused
        unsigned error;
        bool heldError;
    };
    ActionChoice nothing;
    nothing.kind = Kind::Nothing;
    ActionChoice noCommon;
    noCommon.kind = Kind::Common;
    noCommon.common = CommonActions().size();
    const Case cases[] = {
        {Choices(Keystroke("Ctrl+Shift+P")), "Ctrl+Shift+P", 0, false},
        {Choices(Keystroke(" Enter ")), "Enter", 0, false},
        {Choices(Common("VK_VOLUME_UP"), Held::RepeatFast), "VK_VOLUME_UP, repeat fast", 0, false},
        {Choices(Common("Up"), Held::Repeat), "Up, repeat", 0, false},
        {Choices(Common("Enter"), Held::Long, Common("Alt+F4")), "Enter, long: Alt+F4", 0, false},
        {Choices(Program("\"C:\\Program Files\\P\\p.exe\" --toggle, x")),
         "run: \"C:\\Program Files\\P\\p.exe\" --toggle, x", 0, false},
        {Choices(nothing), "nothing", 0, false},
        {Choices(Keystroke("Esc"), Held::Long, Program("notepad.exe")), "Esc, long: run: notepad.exe", 0,
         false},
        // Missing answers, and lines the map would refuse.
        {Choices(Keystroke("")), nullptr, IDS_FORM_NO_KEYSTROKE, false},
        {Choices(noCommon), nullptr, IDS_FORM_NO_COMMON_ACTION, false},
        {Choices(Program("  ")), nullptr, IDS_FORM_NO_COMMAND, false},
        {Choices(Keystroke("Esc"), Held::Long, Keystroke("")), nullptr, IDS_FORM_NO_KEYSTROKE, true},
        {Choices(Keystroke("P+Ctrl")), nullptr, IDS_FORM_MAP_REFUSES, false},
        {Choices(Program("\"C:\\x.exe")), nullptr, IDS_FORM_MAP_REFUSES, false},
    };
    for (const Case& c : cases) {
        std::string value;
        FormError error;
        bool made = ComposeMapping(c.choices, &value, &error);
        SCOPED_TRACE(c.value ? c.value : std::to_string(c.error));
        EXPECT_EQ(made, c.value != nullptr);
        if (c.value) {
            EXPECT_EQ(value, c.value);
            // What the dialog saved, the dialog starts from again.
            KeyMap map = ParseKeyMap("[Keys]\n" + MappingLine(0x33, value) + "\n");
            ASSERT_NE(map.Find(0x33), nullptr);
            std::string again;
            ASSERT_TRUE(ComposeMapping(ChoicesFor(*map.Find(0x33)), &again, &error));
            EXPECT_EQ(again, value);
        } else {
            EXPECT_EQ(error.stringId, c.error);
            EXPECT_EQ(error.held, c.heldError);
        }
    }
}

TEST(MappingFormTest, AKeyOfTheListIsShownAsTheListsEvenWrittenAnotherWay)
{
    KeyMap map = ParseKeyMap("[Keys]\n1 = vk_return\n2 = Ctrl+Enter\n");
    MappingChoices enter = ChoicesFor(*map.Find(1));
    EXPECT_EQ(enter.action.kind, Kind::Common);
    EXPECT_EQ(CommonActions()[enter.action.common], "Enter");
    MappingChoices other = ChoicesFor(*map.Find(2));
    EXPECT_EQ(other.action.kind, Kind::Keystroke);
    EXPECT_EQ(other.action.keys, "Ctrl+Enter");
}

TEST(MappingFormTest, SectionsAndLines)
{
    std::string section;
    FormError error;
    ASSERT_TRUE(SectionFor("", &section, &error));
    EXPECT_EQ(section, "Keys");
    ASSERT_TRUE(SectionFor(" vlc.exe ", &section, &error));
    EXPECT_EQ(section, "Keys:vlc.exe");
    for (const char* bad : {" ", "C:\\vlc.exe", "a]b", "x=y"}) {
        EXPECT_FALSE(SectionFor(bad, &section, &error)) << bad;
        EXPECT_EQ(error.stringId, unsigned(IDS_FORM_BAD_PROGRAM));
    }
    EXPECT_EQ(MappingLine(0x0A, "Up"), "0x0A = Up");
}

TEST(KeyCaptureFieldTest, CombinationsAsTheMapWritesThem)
{
    EXPECT_EQ(CombinationFor('P', true, false, true, false), "Ctrl+Shift+P");
    EXPECT_EQ(CombinationFor(VK_F4, false, true, false, false), "Alt+F4");
    EXPECT_EQ(CombinationFor(VK_RETURN, false, false, false, false), "Enter");
    EXPECT_EQ(CombinationFor(VK_MEDIA_PLAY_PAUSE, false, false, false, false),
              "VK_MEDIA_PLAY_PAUSE");
    // A modifier going down is held: it counts once, in the map's order.
    EXPECT_EQ(CombinationFor(VK_SHIFT, true, false, true, false), "Ctrl+Shift");
    EXPECT_EQ(CombinationFor(VK_RWIN, false, false, false, true), "Win");
    EXPECT_EQ(CombinationFor('D', false, false, false, true), "Win+D");
}

} // namespace
