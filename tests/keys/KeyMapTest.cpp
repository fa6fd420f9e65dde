#include <gtest/gtest.h>

#include "KeyMap.h"
#include "VirtualKeys.h"

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
    // Long presses, fast repeats and nothing.
    {"0x12 = Enter, long: Alt+F4", 0x12, "Enter, long: Alt+F4"},
    {"0x12 = Enter ,LONG:alt + f4", 0x12, "Enter, long: Alt+F4"},
    {"0x12 = run: a.exe x,y, long: run: b.exe, z", 0x12, "run: a.exe x,y, long: run: b.exe, z"},
    {"0x20 = VK_VOLUME_UP, repeat fast", 0x20, "VK_VOLUME_UP, repeat fast"},
    {"0x20 = Up, Repeat  Fast", 0x20, "Up, repeat fast"},
    {"0x12 = nothing", 0x12, "nothing"},
    // Sequences: each step pressed and released before the next; the options
    // after the last; a long action is a sequence too.
    {"0x12 = Ctrl+C, Ctrl+V", 0x12, "Ctrl+C, Ctrl+V"},
    {"0x12 = alt+tab , WAIT 200,enter", 0x12, "Alt+Tab, wait 200, Enter"},
    {"0x12 = Down, Down, repeat", 0x12, "Down, Down, repeat"},
    {"0x12 = Enter, long: Alt+F4, Enter", 0x12, "Enter, long: Alt+F4, Enter"},
    // Text to type takes the rest of the line, commas and all.
    {"0x12 = type: Gr\xC3\xBC\xC3\x9F" "e, Welt", 0x12, "type: Gr\xC3\xBC\xC3\x9F" "e, Welt"},
    {"0x12 = TYPE:a, repeat", 0x12, "type: a, repeat"},
    {"0x12 = Enter, long: type: x, long: y", 0x12, "Enter, long: type: x, long: y"},
    // The program in front, or started; a mode's end.
    {"0x12 = show: vlc.exe", 0x12, "show: vlc.exe"},
    {"0x12 = show: \"C:\\Program Files\\VLC\\vlc.exe\" --x, y, repeat", 0x12,
     "show: \"C:\\Program Files\\VLC\\vlc.exe\" --x, y, repeat"},
    {"0x12 = mode: OFF", 0x12, "mode: off"},
    {"0x12 = Nothing, long: Esc", 0x12, "nothing, long: Esc"},
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
    {"0x12 = Enter, twice", -1,
     "'twice' is not a key name (after a comma come the keystrokes of a sequence, long:, "
     "repeat or repeat fast)"},
    {"0x12 = Enter, repeat, long: Esc", -1,
     "'repeat' comes last, after the action and its long: (as in Up, repeat)"},
    {"0x12 = Enter, long: Esc, repeat", -1,
     "a key with a long action does not repeat (remove one of them)"},
    {"0x12 = Enter, long:", -1, "long: needs an action"},
    {"0x12 = Enter, long: Entr", -1, "long: 'Entr' is not a key name"},
    {"0x12 = Enter, long: Esc, long: F1", -1, "long: a key has one long action"},
    {"0x12 = long: Esc", -1, "long: follows an action, as in Enter, long: Esc"},
    {"0x12 = F25", -1, "'F25' is not a key name"},
    {"0x12 = VK_LBUTTON", -1, "'VK_LBUTTON' is not a key name"},
    {"0x12 = run:", -1, "run: needs a command line"},
    {"0x12 = run: , repeat", -1, "run: needs a command line"},
    {"0x12 = run: \"C:\\x.exe --go", -1, "unbalanced quote in the command line"},
    // The new forms' bad lines.
    {"0x12 = Ctrl+C,, Ctrl+V", -1, "an empty step between two commas"},
    {"0x12 = wait 200, Enter", -1, "'wait 200': a wait goes between two keystrokes"},
    {"0x12 = Enter, wait 200", -1, "'wait 200': a wait goes between two keystrokes"},
    {"0x12 = A, wait 0, B", -1, "'wait 0': a wait is 1 to 5000 milliseconds, as in wait 200"},
    {"0x12 = A, wait 5001, B", -1,
     "'wait 5001': a wait is 1 to 5000 milliseconds, as in wait 200"},
    {"0x12 = A, wait 1, wait 2, B", -1, "two waits in a row: make them one"},
    {"0x12 = Ctrl+C, run: x.exe", -1,
     "run: is an action of its own: a sequence holds keystrokes and waits"},
    {"0x12 = type:", -1, "type: needs the text to type"},
    {"0x12 = show: , repeat", -1, "show: needs a program's file name or its command line"},
    {"0x12 = mode:", -1, "mode: needs a mode's name, or off"},
    {"0x12 = mode: off, once", -1, "mode: off takes no once"},
    {"0x12 = mode: Mouse, twice", -1, "after mode: Mouse only ', once' may follow"},
    {"0x12 = mode: Mouse", -1, "mode: Mouse has no [Mode:Mouse] section"},
    {"0x12 = Enter, long: mode: a]b", -1,
     "long: 'a]b' is not a mode's name (letters, digits and spaces; no : ] or ,)"},
    // The pointer.
    {"0x12 = MOUSE:  Up   Left", 0x12, "mouse: up left"},
    {"0x12 = mouse: wheel down, repeat", 0x12, "mouse: wheel down, repeat"},
    {"0x12 = mouse: click, long: mouse: right click", 0x12,
     "mouse: click, long: mouse: right click"},
    {"0x12 = mouse: drag", 0x12, "mouse: drag"},
    {"0x12 = mouse: sideways", -1,
     "'sideways' is not a mouse: action (up, down, left, right, up left, up right, down left, "
     "down right, click, right click, middle click, double click, wheel up, wheel down, drag)"},
    {"0x12 = mouse: right, repeat", -1,
     "mouse: right moves while the button is held: it needs no repeat"},
    {"0x12 = Enter, long: mouse: down", -1,
     "mouse: down moves while the button is held, and has no long press"},
    {"0x12 = mouse: down, long: Enter", -1,
     "mouse: down moves while the button is held, and has no long press"},
    {"0x12 = Enter, mouse: click", -1,
     "mouse: is an action of its own: a sequence holds keystrokes and waits"},
};

TEST(KeyMapTest, EachLineReadsBackOrIsReportedWithItsNumber)
{
    for (const LineCase& c : kLines) {
        KeyMap map = ParseKeyMap(std::string("; map\n[Keys]\n") + c.line + "\n");
        SCOPED_TRACE(c.line);
        if (c.code >= 0) {
            ASSERT_EQ(map.errors.size(), 0u) << map.errors[0].message;
            ASSERT_EQ(map.MappingCount(), 1u);
            const KeyMapping& mapping = map.sections[0].mappings[0];
            EXPECT_EQ(mapping.code, static_cast<unsigned>(c.code));
            EXPECT_EQ(mapping.line, 3);
            EXPECT_EQ(DescribeMapping(mapping), c.expected);
        } else {
            EXPECT_EQ(map.MappingCount(), 0u);
            ASSERT_EQ(map.errors.size(), 1u);
            EXPECT_EQ(map.errors[0].line, 3);
            EXPECT_EQ(map.errors[0].message, c.expected);
        }
    }
}

TEST(KeyMapTest, KeysArePressedInTheOrderWritten)
{
    KeyMap map = ParseKeyMap("[Keys]\n1 = Ctrl+Shift+Left\n2 = run: x.exe\n");
    ASSERT_EQ(map.MappingCount(), 2u);
    const KeyAction& keys = map.Find(1)->action;
    EXPECT_EQ(keys.kind, KeyAction::Kind::Keys);
    ASSERT_EQ(keys.steps.size(), 1u);
    EXPECT_EQ(keys.steps[0].keys, (std::vector<WORD>{VK_CONTROL, VK_SHIFT, VK_LEFT}));
    EXPECT_EQ(map.Find(1)->repeat, Repeat::Off);
    EXPECT_FALSE(map.Find(1)->hasLong);
    EXPECT_EQ(map.Find(2)->action.kind, KeyAction::Kind::Run);
    EXPECT_EQ(map.Find(2)->action.command, "x.exe");
}

TEST(KeyMapTest, ASequenceHasSixtyFourStepsAtTheMost)
{
    std::string steps = "A";
    for (size_t i = 1; i < kMaxSequenceSteps; ++i)
        steps += ", B";
    EXPECT_EQ(ParseKeyMap("[Keys]\n1 = " + steps + "\n").errors.size(), 0u);
    KeyMap tooLong = ParseKeyMap("[Keys]\n1 = " + steps + ", C\n");
    ASSERT_EQ(tooLong.errors.size(), 1u);
    EXPECT_EQ(tooLong.errors[0].message, "a sequence has 64 steps at the most");
}

// A mode's sections come first while it is on: its program's, its own, then
// the program's and [Keys]; nothing turns a key off there too.
TEST(KeyMapTest, ModesAndTheirSections)
{
    KeyMap map = ParseKeyMap("[Keys]\n1 = mode: Mouse\n2 = Enter\n3 = mode: menu, once\n"
                             "[Mode:Mouse]\n1 = mode: off\n2 = Space\n4 = mode: MOUSE\n"
                             "5 = nothing\n[Mode:mouse:vlc.exe]\n2 = Tab\n[Mode:Menu]\n2 = F10\n"
                             "[Mode:off]\n6 = Esc\n[Mode:]\n[Options]\nStartMode=MOUSE\n");
    ASSERT_EQ(map.errors.size(), 3u);
    EXPECT_EQ(map.errors[0].line, 8);
    EXPECT_EQ(map.errors[0].message, "mode: MOUSE in [Mode:Mouse] is its own mode already");
    EXPECT_EQ(map.errors[1].line, 14);
    EXPECT_EQ(map.errors[1].message, "'off' is no mode's name: mode: off ends every mode");
    EXPECT_EQ(map.errors[2].line, 16);
    EXPECT_EQ(map.errors[2].message, "[Mode:] needs the mode's name, as in [Mode:Mouse]");
    const KeySection* from = nullptr;
    EXPECT_EQ(DescribeAction(map.Find(2, "", &from, "mouse")->action), "Space");
    EXPECT_EQ(from->Name(), "[Mode:Mouse]");
    EXPECT_EQ(DescribeAction(map.Find(2, "VLC.exe", &from, "Mouse")->action), "Tab");
    EXPECT_EQ(from->Name(), "[Mode:mouse:vlc.exe]");
    EXPECT_EQ(DescribeAction(map.Find(2, "vlc.exe", &from)->action), "Enter");
    EXPECT_EQ(DescribeAction(map.Find(3, "", &from, "Mouse")->action), "mode: menu, once");
    EXPECT_EQ(from->Name(), "[Keys]");
    EXPECT_EQ(map.Find(5, "", nullptr, "Mouse")->action.kind, KeyAction::Kind::Nothing);
    EXPECT_EQ(map.Find(6, "", nullptr, "Mouse"), nullptr);
    EXPECT_EQ(map.ModeName("MENU"), "Menu");
    EXPECT_EQ(map.startMode, "MOUSE");

    KeyMap unknown = ParseKeyMap("[Keys]\n1 = Enter\n[Options]\nStartMode=Nope\n");
    ASSERT_EQ(unknown.errors.size(), 1u);
    EXPECT_EQ(unknown.errors[0].line, 4);
    EXPECT_EQ(unknown.errors[0].message,
              "StartMode=Nope: there is no [Mode:Nope] section; no mode applies at the start");
    EXPECT_EQ(unknown.startMode, "");
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
    // Written twice, [Keys] is one section.
    ASSERT_EQ(map.sections.size(), 1u);
    ASSERT_EQ(map.MappingCount(), 2u);
    EXPECT_EQ(map.Find(0x12)->line, 8);
    EXPECT_EQ(map.Find(0x13)->line, 12);
}

TEST(KeyMapTest, BadLinesLeaveTheRestWorkingAndTheFirstMappingCounts)
{
    KeyMap map = ParseKeyMap("[Keys]\n0x12 = Enter\n0x13 = Nope\n18 = Space\n[Keys\n0x14 = Tab\n");
    ASSERT_EQ(map.MappingCount(), 1u);
    EXPECT_EQ(DescribeAction(map.Find(0x12)->action), "Enter");
    // Which section a broken header meant is unknown: its lines are not used.
    EXPECT_EQ(map.Find(0x14), nullptr);
    ASSERT_EQ(map.errors.size(), 3u);
    EXPECT_EQ(map.errors[0].line, 3);
    EXPECT_EQ(map.errors[1].line, 4);
    EXPECT_EQ(map.errors[1].message,
              "key code 0x12 (18) is mapped twice in [Keys] (first on line 2, which counts)");
    EXPECT_EQ(map.errors[2].line, 5);
    EXPECT_EQ(map.errors[2].message, "a section name needs a closing ']'");
    EXPECT_EQ(map.Find(0x13), nullptr);
}

TEST(KeyMapTest, Options)
{
    KeyMap defaults = ParseKeyMap("");
    EXPECT_EQ(defaults.repeatGuardMs, 400u);
    EXPECT_EQ(defaults.longPressMs, 800u);
    EXPECT_EQ(defaults.repeatDelayMs, 500u);
    EXPECT_EQ(defaults.showKeys, 0u);
    EXPECT_EQ(defaults.stepAside, 1u);
    EXPECT_FALSE(defaults.hasKeysSection);

    KeyMap set = ParseKeyMap("[options]\nrepeatguardms = 0\nLongPressMs=1500\nREPEATDELAYMS=0\n"
                             "ShowKeys=1\nstepaside=0\n");
    EXPECT_EQ(set.errors.size(), 0u);
    EXPECT_EQ(set.stepAside, 0u);
    EXPECT_EQ(set.repeatGuardMs, 0u);
    EXPECT_EQ(set.longPressMs, 1500u);
    EXPECT_EQ(set.repeatDelayMs, 0u);
    EXPECT_EQ(set.showKeys, 1u);

    KeyMap map = ParseKeyMap("[Options]\nRepeatGuardMs=250\nRepeatGuardMs=900\nRepeatGuard=1\n");
    EXPECT_EQ(map.repeatGuardMs, 250u);
    ASSERT_EQ(map.errors.size(), 2u);
    EXPECT_EQ(map.errors[0].message, "RepeatGuardMs is set twice (first on line 2, which counts)");
    EXPECT_EQ(map.errors[1].message,
              "unknown option 'RepeatGuard' (known: RepeatGuardMs, LongPressMs, RepeatDelayMs, "
              "ShowKeys, StepAside, StartMode)");

    struct Bad {
        const char* line;
        const char* message;
    };
    const Bad kBad[] = {
        {"RepeatGuardMs=-5", "RepeatGuardMs must be 0 to 10000 milliseconds; 400 applies"},
        {"RepeatGuardMs=fast", "RepeatGuardMs must be 0 to 10000 milliseconds; 400 applies"},
        {"RepeatGuardMs=10001", "RepeatGuardMs must be 0 to 10000 milliseconds; 400 applies"},
        {"RepeatGuardMs=", "RepeatGuardMs must be 0 to 10000 milliseconds; 400 applies"},
        {"LongPressMs=99", "LongPressMs must be 100 to 10000 milliseconds; 800 applies"},
        {"RepeatDelayMs=1e3", "RepeatDelayMs must be 0 to 10000 milliseconds; 500 applies"},
        {"ShowKeys=2", "ShowKeys must be 0 (off) or 1 (on); 0 applies"},
        {"ShowKeys=yes", "ShowKeys must be 0 (off) or 1 (on); 0 applies"},
        {"StepAside=2", "StepAside must be 0 (off) or 1 (on); 1 applies"},
    };
    for (const Bad& bad : kBad) {
        KeyMap badMap = ParseKeyMap(std::string("[Options]\n") + bad.line + "\n");
        KeyMap defaultMap;
        EXPECT_EQ(badMap.repeatGuardMs, defaultMap.repeatGuardMs) << bad.line;
        EXPECT_EQ(badMap.longPressMs, defaultMap.longPressMs) << bad.line;
        EXPECT_EQ(badMap.repeatDelayMs, defaultMap.repeatDelayMs) << bad.line;
        EXPECT_EQ(badMap.showKeys, defaultMap.showKeys) << bad.line;
        EXPECT_EQ(badMap.stepAside, defaultMap.stepAside) << bad.line;
        ASSERT_EQ(badMap.errors.size(), 1u) << bad.line;
        EXPECT_EQ(badMap.errors[0].message, bad.message);
    }
}

// What a key does with which program in front.
TEST(KeyMapTest, ProgramSectionsWinAndFallBackToKeys)
{
    KeyMap map = ParseKeyMap("[Keys]\n0x12 = Enter\n0x13 = Esc\n0x14 = Tab\n"
                             "[Keys: VLC.exe ]\n0x12 = Space\n0x13 = nothing\n"
                             "[keys:mpc-hc64.exe]\n0x15 = F5\n"
                             "[KEYS:vlc.EXE]\n0x16 = F6\n0x12 = F7\n");
    ASSERT_EQ(map.sections.size(), 3u);
    ASSERT_EQ(map.errors.size(), 1u);
    EXPECT_EQ(map.errors[0].line, 12);
    EXPECT_EQ(map.errors[0].message,
              "key code 0x12 (18) is mapped twice in [Keys:VLC.exe] (first on line 6, which counts)");
    EXPECT_TRUE(map.HasProgramSections());

    struct Lookup {
        unsigned code;
        const char* program;
        const char* action; // null: not mapped
        const char* section;
    };
    const Lookup kLookups[] = {
        {0x12, "", "Enter", "[Keys]"},
        {0x12, "vlc.exe", "Space", "[Keys:VLC.exe]"},
        {0x12, "VLC.EXE", "Space", "[Keys:VLC.exe]"},
        {0x13, "vlc.exe", "nothing", "[Keys:VLC.exe]"}, // turned off for vlc alone
        {0x13, "notepad.exe", "Esc", "[Keys]"},
        {0x14, "vlc.exe", "Tab", "[Keys]"},               // not in vlc's section
        {0x16, "vlc.exe", "F6", "[Keys:VLC.exe]"},        // its section written twice
        {0x16, "", nullptr, nullptr},
        {0x15, "mpc-hc64.exe", "F5", "[Keys:mpc-hc64.exe]"},
        {0x15, "vlc", nullptr, nullptr},                  // the file name, exactly
    };
    for (const Lookup& lookup : kLookups) {
        SCOPED_TRACE(std::to_string(lookup.code) + " " + lookup.program);
        const KeySection* section = nullptr;
        const KeyMapping* mapping = map.Find(lookup.code, lookup.program, &section);
        if (!lookup.action) {
            EXPECT_EQ(mapping, nullptr);
            continue;
        }
        ASSERT_NE(mapping, nullptr);
        EXPECT_EQ(DescribeAction(mapping->action), lookup.action);
        EXPECT_EQ(section->Name(), lookup.section);
    }
}

TEST(KeyMapTest, BadProgramSectionsAreReportedAndTheirLinesUnused)
{
    KeyMap map = ParseKeyMap("[Keys:]\n1 = Esc\n[Keys:C:\\Apps\\vlc.exe]\n2 = Esc\n"
                             "[Keys:vlc.exe]\n3 = Esc\n");
    ASSERT_EQ(map.errors.size(), 2u);
    EXPECT_EQ(map.errors[0].line, 1);
    EXPECT_EQ(map.errors[0].message, "[Keys:] needs the program's file name, as in [Keys:vlc.exe]");
    EXPECT_EQ(map.errors[1].line, 3);
    EXPECT_EQ(map.errors[1].message,
              "[Keys:C:\\Apps\\vlc.exe] names a folder: write the program's file name alone, as "
              "in [Keys:vlc.exe]");
    EXPECT_EQ(map.MappingCount(), 1u);
    EXPECT_FALSE(map.hasKeysSection);
}

TEST(KeyMapTest, ANameWithAControlCharacterIsNoSection)
{
    // Not [Keys] (the name cut at its NUL) nor [Mode:Menu]: a bad line, as
    // the settings editor, which never takes them for those, sees them too.
    const char text[] = "[Keys]\n1 = Esc\n[Keys:\0vlc.exe]\n1 = Enter\n"
                        "[Mode:Menu]\n2 = Esc\n[Mode:Menu\0x]\n2 = Enter\n";
    KeyMap map = ParseKeyMap(std::string(text, sizeof(text) - 1));
    ASSERT_EQ(map.errors.size(), 2u);
    EXPECT_EQ(map.errors[0].line, 3);
    EXPECT_NE(map.errors[0].message.find("control character"), std::string::npos);
    EXPECT_EQ(map.errors[1].line, 7);
    ASSERT_EQ(map.MappingCount(), 2u);
    EXPECT_EQ(DescribeAction(map.Find(1)->action), "Esc");
    EXPECT_EQ(DescribeAction(map.Find(2, "", nullptr, "Menu")->action), "Esc");
}

} // namespace
