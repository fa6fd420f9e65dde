#include <gtest/gtest.h>

#include <algorithm>

#include "KeyCaptureField.h"
#include "MappingForm.h"
#include "Strings.h"

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

ActionChoice Of(Kind kind, const char* field, bool once = false)
{
    ActionChoice choice;
    choice.kind = kind;
    (kind == Kind::Sequence ? choice.sequence
     : kind == Kind::Type   ? choice.text
     : kind == Kind::Mode   ? choice.mode
                            : choice.command) = field;
    choice.once = once;
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
        const char* error;
        bool heldError;
    };
    ActionChoice nothing;
    nothing.kind = Kind::Nothing;
    ActionChoice noCommon;
    noCommon.kind = Kind::Common;
    noCommon.common = CommonActions().size();
    const Case cases[] = {
        {Choices(Keystroke("Ctrl+Shift+P")), "Ctrl+Shift+P", nullptr, false},
        {Choices(Keystroke(" Enter ")), "Enter", nullptr, false},
        {Choices(Common("VK_VOLUME_UP"), Held::RepeatFast), "VK_VOLUME_UP, repeat fast", nullptr, false},
        {Choices(Common("Up"), Held::Repeat), "Up, repeat", nullptr, false},
        {Choices(Common("Enter"), Held::Long, Common("Alt+F4")), "Enter, long: Alt+F4", nullptr, false},
        {Choices(Program("\"C:\\Program Files\\P\\p.exe\" --toggle, x")),
         "run: \"C:\\Program Files\\P\\p.exe\" --toggle, x", nullptr, false},
        {Choices(nothing), "nothing", nullptr, false},
        {Choices(Keystroke("Esc"), Held::Long, Program("notepad.exe")), "Esc, long: run: notepad.exe", nullptr,
         false},
        // Missing answers, and lines the map would refuse.
        {Choices(Keystroke("")), nullptr, strings::kFormNoKeystroke, false},
        {Choices(noCommon), nullptr, strings::kFormNoCommonAction, false},
        {Choices(Program("  ")), nullptr, strings::kFormNoCommand, false},
        {Choices(Keystroke("Esc"), Held::Long, Keystroke("")), nullptr, strings::kFormNoKeystroke, true},
        {Choices(Keystroke("P+Ctrl")), nullptr, strings::kFormMapRefuses, false},
        {Choices(Program("\"C:\\x.exe")), nullptr, strings::kFormMapRefuses, false},
    };
    KeyMap none;
    for (const Case& c : cases) {
        std::string value;
        FormError error;
        bool made = ComposeMapping(c.choices, none, &value, &error);
        SCOPED_TRACE(c.value ? c.value : c.error);
        EXPECT_EQ(made, c.value != nullptr);
        if (c.value) {
            EXPECT_EQ(value, c.value);
            // What the dialog saved, the dialog starts from again.
            KeyMap map = ParseKeyMap("[Keys]\n" + MappingLine(0x33, value) + "\n");
            ASSERT_NE(map.Find(0x33), nullptr);
            std::string again;
            ASSERT_TRUE(ComposeMapping(ChoicesFor(*map.Find(0x33)), none, &again, &error));
            EXPECT_EQ(again, value);
        } else {
            EXPECT_STREQ(error.text, c.error);
            EXPECT_EQ(error.held, c.heldError);
        }
    }
}

// The file the new forms' lines go into: one mode, spelt its own way.
const char kModesFile[] = "[Keys]\n[Mode:Browse]\n0x1E = Tab\n[Mode:browse:vlc.exe]\n";

TEST(MappingFormTest, SequencesTextModesAndShowMakeTheirCanonicalLinesAndOpenOnTheirForm)
{
    struct Case {
        MappingChoices choices;
        const char* value;
    };
    const Case cases[] = {
        {Choices(Of(Kind::Sequence, " ctrl+c,wait 100 ,  ctrl+v ")), "Ctrl+C, wait 100, Ctrl+V"},
        {Choices(Of(Kind::Sequence, "Down, Down"), Held::Repeat), "Down, Down, repeat"},
        {Choices(Keystroke("Enter"), Held::Long, Of(Kind::Sequence, "Alt+Tab, wait 200, Enter")),
         "Enter, long: Alt+Tab, wait 200, Enter"},
        {Choices(Of(Kind::Sequence, "Alt+Tab, Enter"), Held::Long, Of(Kind::Sequence, "Esc, Esc")),
         "Alt+Tab, Enter, long: Esc, Esc"},
        // Text takes the rest of the line: commas, "repeat" and "long:" are text.
        {Choices(Of(Kind::Type, " Gr\xC3\xBC\xC3\x9F" "e, Welt ")), "type: Gr\xC3\xBC\xC3\x9F" "e, Welt"},
        {Choices(Of(Kind::Type, "a, repeat")), "type: a, repeat"},
        {Choices(Keystroke("Esc"), Held::Long, Of(Kind::Type, "hi, long: x")),
         "Esc, long: type: hi, long: x"},
        {Choices(Of(Kind::Mode, "browse")), "mode: Browse"},
        {Choices(Of(Kind::Mode, "Browse", true)), "mode: Browse, once"},
        {Choices(Of(Kind::Mode, "OFF")), "mode: off"},
        {Choices(Common("Enter"), Held::Long, Of(Kind::Mode, "Browse", true)),
         "Enter, long: mode: Browse, once"},
        {Choices(Of(Kind::Show, "vlc.exe")), "show: vlc.exe"},
        {Choices(Of(Kind::Show, "\"C:\\Program Files\\VideoLAN\\VLC\\vlc.exe\" --a, b")),
         "show: \"C:\\Program Files\\VideoLAN\\VLC\\vlc.exe\" --a, b"},
    };
    KeyMap file = ParseKeyMap(kModesFile);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        std::string value;
        FormError error;
        ASSERT_TRUE(ComposeMapping(c.choices, file, &value, &error)) << (error.text ? error.text : "");
        EXPECT_EQ(value, c.value);
        // Saved into the file, the line is a good one, and the dialog opens
        // on the same form with its fields filled in.
        KeyMap saved = ParseKeyMap("[Keys]\n" + MappingLine(0x33, value) + "\n" + kModesFile);
        EXPECT_TRUE(saved.errors.empty()) << saved.errors[0].message;
        ASSERT_NE(saved.Find(0x33), nullptr);
        MappingChoices opened = ChoicesFor(*saved.Find(0x33));
        // (A keystroke of the list opens as the common action: Enter, Esc.)
        if (c.choices.action.kind != Kind::Keystroke) {
            EXPECT_EQ(opened.action.kind, c.choices.action.kind);
        }
        EXPECT_EQ(opened.held, c.choices.held);
        if (opened.held == Held::Long) {
            EXPECT_EQ(opened.longAction.kind, c.choices.longAction.kind);
        }
        std::string again;
        ASSERT_TRUE(ComposeMapping(opened, file, &again, &error));
        EXPECT_EQ(again, value);
    }
}

TEST(MappingFormTest, TheNewFormsRefuseWhatTheMapWouldNot)
{
    struct Case {
        MappingChoices choices;
        const char* error;
        bool held;
        const char* detail; // in the detail, when given
    };
    const Case cases[] = {
        {Choices(Of(Kind::Sequence, "  ")), strings::kFormNoSequence, false, nullptr},
        {Choices(Of(Kind::Sequence, "Ctrl+C, wait 9000, Ctrl+V")), strings::kFormMapRefuses, false,
         "1 to 5000"},
        {Choices(Of(Kind::Sequence, "Ctrl+C, Ctrl+Q+X")), strings::kFormMapRefuses, false, nullptr},
        // The field holds the sequence alone; the rest is chosen beside it.
        {Choices(Of(Kind::Sequence, "Ctrl+C, repeat")), strings::kFormNotASequence, false, nullptr},
        {Choices(Of(Kind::Sequence, "run: notepad.exe")), strings::kFormNotASequence, false, nullptr},
        {Choices(Of(Kind::Type, " ")), strings::kFormNoText, false, nullptr},
        {Choices(Of(Kind::Type, "x"), Held::Repeat), strings::kFormTypeActsOnce, true, nullptr},
        {Choices(Of(Kind::Mode, "")), strings::kFormNoMode, false, nullptr},
        {Choices(Of(Kind::Mode, "Mouse")), strings::kFormNoModeSection, false, "Mouse"},
        {Choices(Keystroke("Esc"), Held::Long, Of(Kind::Mode, "Mouse", true)),
         strings::kFormNoModeSection, true, "Mouse"},
        {Choices(Of(Kind::Mode, "off", true)), strings::kFormMapRefuses, false, "once"},
        {Choices(Of(Kind::Mode, "a:b")), strings::kFormMapRefuses, false, "not a mode's name"},
        {Choices(Of(Kind::Show, "")), strings::kFormNoShow, false, nullptr},
        {Choices(Of(Kind::Show, "\"C:\\vlc.exe")), strings::kFormMapRefuses, false, "quote"},
    };
    KeyMap file = ParseKeyMap(kModesFile);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        std::string value = "untouched";
        FormError error;
        EXPECT_FALSE(ComposeMapping(c.choices, file, &value, &error)) << value;
        EXPECT_EQ(value, "untouched");
        EXPECT_STREQ(error.text, c.error);
        EXPECT_EQ(error.held, c.held);
        if (c.detail) {
            EXPECT_NE(error.detail.find(c.detail), std::string::npos) << error.detail;
        }
    }
    // The mode the refusal names is the file's to add: once it has its
    // section, the same answers make the line.
    KeyMap added = ParseKeyMap(std::string(kModesFile) + "[Mode:Mouse]\n");
    std::string value;
    FormError error;
    ASSERT_TRUE(ComposeMapping(Choices(Of(Kind::Mode, "Mouse")), added, &value, &error));
    EXPECT_EQ(value, "mode: Mouse");
}

TEST(MappingFormTest, TheModesToChooseAreTheFilesEachOnce)
{
    KeyMap map = ParseKeyMap(std::string(kModesFile) + "[Mode:Mouse]\n[Mode:MOUSE]\n0x12 = Enter\n");
    EXPECT_EQ(ModesOf(map), (std::vector<std::string>{"Browse", "Mouse"}));
    EXPECT_TRUE(ModesOf(ParseKeyMap("[Keys]\n0x12 = Enter\n")).empty());
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
        EXPECT_STREQ(error.text, strings::kFormBadProgram);
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
