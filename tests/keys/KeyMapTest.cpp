#include <gtest/gtest.h>

#include "KeyMap.h"

namespace {

// One [Keys] line and what it reads back as: DescribeAction, or the error.
struct LineCase {
    const char* line;
    int code; // -1: the line is bad
    const char* expected;
};

const LineCase kLines[] = {
    // Names: short, VK_, letters, digits, function keys, any case.
    {"0x12 = Enter", 0x12, "Enter"},
    {"18 = enter", 18, "Enter"},
    {"0X1c = ctrl+shift+p", 0x1C, "Ctrl+Shift+P"},
    {"0x0D = VK_MEDIA_PLAY_PAUSE", 0x0D, "VK_MEDIA_PLAY_PAUSE"},
    {"0x0d=vk_return", 0x0D, "Enter"},
    {"255 = Alt + F4", 255, "Alt+F4"},
    {"0 = Win+D", 0, "Win+D"},
    {"1 = F24", 1, "F24"},
    {"2 = VK_F13", 2, "F13"},
    {"3 = 7", 3, "7"},
    {"4 = Esc", 4, "Esc"},
    {"5 = PageDown", 5, "PageDown"},
    {"6 = Ctrl", 6, "Ctrl"},
    {"007 = VK_OEM_PLUS", 7, "VK_OEM_PLUS"},
    // Held keys.
    {"0x20 = VK_VOLUME_UP, repeat", 0x20, "VK_VOLUME_UP, repeat"},
    {"0x20 = Up ,REPEAT", 0x20, "Up, repeat"},
    // Commands: quotes and commas kept as written; a trailing repeat is ours.
    {"0x05 = run: \"C:\\Program Files\\Player\\player.exe\" --toggle", 5,
     "run: \"C:\\Program Files\\Player\\player.exe\" --toggle"},
    {"0x05 = RUN:notepad.exe a,b", 5, "run: notepad.exe a,b"},
    {"0x05 = run: \"a, b.exe\", repeat", 5, "run: \"a, b.exe\", repeat"},
    // Bad lines.
    {"0x06 = Entr", -1, "'Entr' is not a key name"},
    {"256 = Esc", -1, "key code '256' is not 0 to 255 (decimal, or hexadecimal with 0x)"},
    {"0x100 = Esc", -1, "key code '0x100' is not 0 to 255 (decimal, or hexadecimal with 0x)"},
    {"-1 = Esc", -1, "key code '-1' is not 0 to 255 (decimal, or hexadecimal with 0x)"},
    {"0x = Esc", -1, "key code '0x' is not 0 to 255 (decimal, or hexadecimal with 0x)"},
    {"99999999999999999999 = Esc", -1,
     "key code '99999999999999999999' is not 0 to 255 (decimal, or hexadecimal with 0x)"},
    {"Enter = 0x12", -1, "key code 'Enter' is not 0 to 255 (decimal, or hexadecimal with 0x)"},
    {"0x12", -1, "expected 'name = value'"},
    {"0x12 =", -1, "no action after '='"},
    {"0x12 = Ctrl+", -1, "'Ctrl+' has an empty key name"},
    {"0x12 = P+Ctrl", -1, "'P' must come last, after the modifiers"},
    {"0x12 = A+B", -1, "'A+B' has more than one key besides Ctrl, Alt, Shift and Win"},
    {"0x12 = Ctrl+ctrl+A", -1, "'ctrl' is in the combination twice"},
    {"0x12 = Enter, twice", -1, "unknown setting 'twice' after the comma (only 'repeat' is known)"},
    {"0x12 = F25", -1, "'F25' is not a key name"},
    {"0x12 = VK_LBUTTON", -1, "'VK_LBUTTON' is not a key name"},
    {"0x12 = run:", -1, "run: needs a command line"},
    {"0x12 = run: , repeat", -1, "run: needs a command line"},
    {"0x12 = run: \"C:\\x.exe --go", -1, "unbalanced quote in the command line"},
};

TEST(KeyMapTest, EachLineReadsBackOrIsReportedWithItsNumber)
{
    for (const LineCase& c : kLines) {
        KeyMap map = ParseKeyMap(std::string("; map\n[Keys]\n") + c.line + "\n");
        SCOPED_TRACE(c.line);
        if (c.code >= 0) {
            ASSERT_EQ(map.errors.size(), 0u) << map.errors[0].message;
            ASSERT_EQ(map.mappings.size(), 1u);
            EXPECT_EQ(map.mappings[0].code, static_cast<unsigned>(c.code));
            EXPECT_EQ(map.mappings[0].line, 3);
            EXPECT_EQ(DescribeAction(map.mappings[0].action), c.expected);
        } else {
            EXPECT_EQ(map.mappings.size(), 0u);
            ASSERT_EQ(map.errors.size(), 1u);
            EXPECT_EQ(map.errors[0].line, 3);
            EXPECT_EQ(map.errors[0].message, c.expected);
        }
    }
}

TEST(KeyMapTest, KeysArePressedInTheOrderWritten)
{
    KeyMap map = ParseKeyMap("[Keys]\n1 = Ctrl+Shift+Left\n2 = run: x.exe\n");
    ASSERT_EQ(map.mappings.size(), 2u);
    const KeyAction& keys = map.mappings[0].action;
    EXPECT_EQ(keys.kind, KeyAction::Kind::Keys);
    EXPECT_EQ(keys.keys, (std::vector<WORD>{VK_CONTROL, VK_SHIFT, VK_LEFT}));
    EXPECT_FALSE(keys.repeat);
    EXPECT_EQ(map.mappings[1].action.kind, KeyAction::Kind::Run);
    EXPECT_EQ(map.mappings[1].action.command, "x.exe");
}

TEST(KeyMapTest, ReadsTheFileAsWindowsWritesIt)
{
    // A byte-order mark, CRLF, comments of both kinds, blanks, sections in
    // any case with spaces, other sections ignored, a last line without end.
    KeyMap map = ParseKeyMap("\xEF\xBB\xBF[Custom]\r\nMaskCode=0x40BF\r\n0x99 = ignored here\r\n"
                             "\r\n[ keys ]\r\n; 0x01 = Esc\r\n  # 0x02 = Esc\r\n"
                             "\t0x12\t=\tEnter \r\n[Other]\r\n1 = not ours\r\n"
                             "[KEYS]\r\n0x13 = Space");
    EXPECT_TRUE(map.hasKeysSection);
    EXPECT_EQ(map.errors.size(), 0u);
    ASSERT_EQ(map.mappings.size(), 2u);
    EXPECT_EQ(map.mappings[0].code, 0x12u);
    EXPECT_EQ(map.mappings[0].line, 8);
    EXPECT_EQ(map.mappings[1].code, 0x13u);
    EXPECT_EQ(map.mappings[1].line, 12);
}

TEST(KeyMapTest, BadLinesLeaveTheRestWorkingAndTheFirstMappingCounts)
{
    KeyMap map = ParseKeyMap("[Keys]\n0x12 = Enter\n0x13 = Nope\n18 = Space\n[Keys\n0x14 = Tab\n");
    ASSERT_EQ(map.mappings.size(), 1u);
    EXPECT_EQ(DescribeAction(map.Find(0x12)->action), "Enter");
    // Which section a broken header meant is unknown: its lines are not used.
    EXPECT_EQ(map.Find(0x14), nullptr);
    ASSERT_EQ(map.errors.size(), 3u);
    EXPECT_EQ(map.errors[0].line, 3);
    EXPECT_EQ(map.errors[1].line, 4);
    EXPECT_EQ(map.errors[1].message,
              "key code 0x12 (18) is mapped twice (first on line 2, which counts)");
    EXPECT_EQ(map.errors[2].line, 5);
    EXPECT_EQ(map.errors[2].message, "a section name needs a closing ']'");
    EXPECT_EQ(map.Find(0x13), nullptr);
}

TEST(KeyMapTest, RepeatGuardOption)
{
    EXPECT_EQ(ParseKeyMap("").repeatGuardMs, 400u);
    EXPECT_FALSE(ParseKeyMap("").hasKeysSection);
    EXPECT_EQ(ParseKeyMap("[options]\nrepeatguardms = 0\n").repeatGuardMs, 0u);

    KeyMap map = ParseKeyMap("[Options]\nRepeatGuardMs=250\nRepeatGuardMs=900\nRepeatGuard=1\n");
    EXPECT_EQ(map.repeatGuardMs, 250u);
    ASSERT_EQ(map.errors.size(), 2u);
    EXPECT_EQ(map.errors[0].message, "RepeatGuardMs is set twice (first on line 2, which counts)");
    EXPECT_EQ(map.errors[1].message, "unknown option 'RepeatGuard' (known: RepeatGuardMs)");

    for (const char* bad : {"-5", "fast", "10001", ""}) {
        KeyMap badMap = ParseKeyMap(std::string("[Options]\nRepeatGuardMs=") + bad + "\n");
        EXPECT_EQ(badMap.repeatGuardMs, 400u) << bad;
        ASSERT_EQ(badMap.errors.size(), 1u) << bad;
        EXPECT_EQ(badMap.errors[0].message,
                  "RepeatGuardMs must be 0 to 10000 milliseconds; 400 applies");
    }
}

} // namespace
