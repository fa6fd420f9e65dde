#include <gtest/gtest.h>

#include "ButtonLines.h"
#include "ButtonNames.h"
#include "CommonButtonActions.h"
#include "KeyMap.h"
#include "MappingValue.h"

namespace {

TEST(ButtonLinesTest, CommonActionsAreLinesTheMapTakes)
{
    const char* const named[] = {"KEY_OK", "KEY_UP", "KEY_DOWN", "KEY_LEFT", "KEY_RIGHT",
                                 "KEY_BACK", "KEY_PLAYPAUSE", "KEY_STOP", "KEY_NEXT",
                                 "KEY_PREVIOUS", "KEY_VOLUMEUP", "KEY_VOLUMEDOWN", "KEY_MUTE",
                                 "KEY_CHANNELUP", "KEY_CHANNELDOWN", "KEY_0", "KEY_5", "KEY_9"};
    for (const char* name : named) {
        SCOPED_TRACE(name);
        std::string canonical, error;
        ASSERT_TRUE(LookUpButtonName(name, &canonical));
        KeyMapping mapping;
        ASSERT_TRUE(ParseMappingValue(CommonButtonAction(name), &mapping, &error)) << error;
    }
    struct {
        const char* name;
        const char* reads;
    } const expected[] = {
        {"KEY_OK", "Enter"},
        {"KEY_LEFT", "Left, repeat"},
        {"KEY_BACK", "Esc"},
        {"KEY_NEXT", "VK_MEDIA_NEXT_TRACK"},
        {"KEY_VOLUMEDOWN", "VK_VOLUME_DOWN, repeat fast"},
        {"KEY_CHANNELUP", "PageUp"},
        {"KEY_7", "7"},
        {"KEY_POWER", ""},
        {"KEY_MENU", ""},
    };
    for (const auto& e : expected)
        EXPECT_EQ(CommonButtonAction(e.name), e.reads) << e.name;
}

// The user's own file: comments, CRLF, a mapped code, the example's
// commented lines. The buttons named get their [Names] lines; those without
// an action in [Keys] get theirs, by name; nothing else changes.
TEST(ButtonLinesTest, TheFileChangesByAddedLinesOnly)
{
    const std::string before = "; my remote\r\n"
                               "[Keys]\r\n"
                               "0x20 = F5\r\n"
                               "; 0x12 = Enter\r\n"
                               "\r\n"
                               "; options below\r\n"
                               "[Options]\r\n"
                               "ShowKeys=1\r\n";
    IniText text = IniText::Parse(before);
    size_t added = 0;
    std::string error;
    ASSERT_TRUE(AddButtonLines(&text,
                               {{0x12, "KEY_OK"}, {0x20, "KEY_UP"}, {0x21, "KEY_VOLUMEUP"},
                                {0x30, "KEY_POWER"}},
                               true, &added, &error))
        << error;
    EXPECT_EQ(text.Bytes(), "; my remote\r\n"
                            "[Keys]\r\n"
                            "0x20 = F5\r\n"
                            "; 0x12 = Enter\r\n"
                            "KEY_OK = Enter\r\n"
                            "KEY_VOLUMEUP = VK_VOLUME_UP, repeat fast\r\n"
                            "\r\n"
                            "; options below\r\n"
                            "[Options]\r\n"
                            "ShowKeys=1\r\n"
                            "\r\n"
                            "[Names]\r\n"
                            "0x12 = KEY_OK\r\n"
                            "0x20 = KEY_UP\r\n"
                            "0x21 = KEY_VOLUMEUP\r\n"
                            "0x30 = KEY_POWER\r\n");
    EXPECT_EQ(added, 6u);
    KeyMap map = ParseKeyMap(text.Bytes());
    EXPECT_TRUE(map.errors.empty()) << map.errors[0].message;
    EXPECT_EQ(DescribeMapping(*map.Find(0x20)), "F5");

    // Again: everything is named and mapped already.
    std::string once = text.Bytes();
    ASSERT_TRUE(AddButtonLines(&text, {{0x12, "KEY_OK"}}, true, &added, &error));
    EXPECT_EQ(added, 0u);
    EXPECT_EQ(text.Bytes(), once);
}

// Where the user chose to give a named code another name, or a name another
// code, the old [Names] line goes: the map never holds a name twice.
TEST(ButtonLinesTest, ANameTakenOverLeavesNoClash)
{
    IniText text = IniText::Parse("[Names]\n0x12 = KEY_OK\n0x13 = KEY_UP\n[Keys]\nKEY_OK = Enter\n");
    size_t added = 0;
    std::string error;
    ASSERT_TRUE(AddButtonLines(&text, {{0x13, "KEY_DOWN"}, {0x14, "KEY_OK"}}, false, &added,
                               &error));
    EXPECT_EQ(text.Bytes(), "[Names]\n0x13 = KEY_DOWN\n0x14 = KEY_OK\n[Keys]\nKEY_OK = Enter\n");
    KeyMap map = ParseKeyMap(text.Bytes());
    EXPECT_TRUE(map.errors.empty());
    ASSERT_TRUE(map.Find(0x14));
    EXPECT_FALSE(map.Find(0x12));
}

// Map a key writes a named button's line by its name, in place of its code
// line or its name line: never a second line for one button.
TEST(ButtonLinesTest, ANameGivenTwiceAlreadyGoesFromEveryOtherCode)
{
    // KEY_OK on two codes is a bad line already; naming a third takes both.
    IniText text = IniText::Parse("[Names]\n0x12 = KEY_OK\n0x13 = key_ok\n0x15 = KEY_UP\n");
    size_t added = 0;
    std::string error;
    ASSERT_TRUE(AddButtonLines(&text, {{0x14, "KEY_OK"}}, false, &added, &error));
    EXPECT_EQ(text.Bytes(), "[Names]\n0x15 = KEY_UP\n0x14 = KEY_OK\n");
    KeyMap map = ParseKeyMap(text.Bytes());
    EXPECT_TRUE(map.errors.empty());
    EXPECT_EQ(map.NameOf(0x14), "KEY_OK");
}

TEST(ButtonLinesTest, MapAKeyReplacesEitherLineOfANamedButton)
{
    IniText::KeyMatch ok = MatchButton(0x12, "KEY_OK");
    for (const char* key : {"0x12", "18", "key_ok", "KEY_OK"})
        EXPECT_TRUE(ok(key)) << key;
    for (const char* key : {"0x13", "KEY_UP", "KEY_OK2"})
        EXPECT_FALSE(ok(key)) << key;
    EXPECT_FALSE(MatchButton(0x12, "")("KEY_OK"));
    EXPECT_EQ(ButtonLine(0x12, "KEY_OK", "Esc"), "KEY_OK = Esc");
    EXPECT_EQ(ButtonLine(0x12, "", "Esc"), "0x12 = Esc");
}


// With Menu or Info named and free, a ready mouse mode: its lines for the
// named buttons, the mode's way in and out; once, never twice.
TEST(ButtonLinesTest, TheMouseModeComesReadyWhereAButtonIsFreeToEnterIt)
{
    IniText text = IniText::Parse("[Keys]\n0x40 = F1\n");
    size_t added = 0;
    std::string error;
    ASSERT_TRUE(AddButtonLines(&text,
                               {{0x12, "KEY_OK"}, {0x13, "KEY_UP"}, {0x14, "KEY_CHANNELDOWN"},
                                {0x40, "KEY_MENU"}, {0x41, "KEY_INFO"}, {0x15, "KEY_POWER"}},
                               true, &added, &error))
        << error;
    KeyMap map = ParseKeyMap(text.Bytes());
    ASSERT_TRUE(map.errors.empty()) << map.errors[0].message << "\n" << text.Bytes();
    // Menu has an action already: Info enters the mode.
    ASSERT_TRUE(map.Find(0x41));
    EXPECT_EQ(DescribeMapping(*map.Find(0x41)), "mode: Mouse");
    const KeySection* mouse = map.Section("", "Mouse");
    ASSERT_TRUE(mouse);
    std::vector<std::string> lines;
    for (const KeyMapping& mapping : mouse->mappings)
        lines.push_back(mapping.name + " = " + DescribeMapping(mapping));
    EXPECT_EQ(lines, (std::vector<std::string>{"KEY_OK = mouse: click", "KEY_UP = mouse: up",
                                                "KEY_CHANNELDOWN = mouse: wheel down, repeat",
                                                "KEY_INFO = mode: off"}));
    ASSERT_TRUE(AddButtonLines(&text, {{0x16, "KEY_BACK"}}, true, &added, &error)) << error;
    EXPECT_EQ(ParseKeyMap(text.Bytes()).Section("", "Mouse")->mappings.size(), 4u);
}

} // namespace
