#include <gtest/gtest.h>

#include "ButtonNames.h"
#include "DisplayText.h"
#include "KeyActions.h"
#include "KeyPath.h"
#include "LastKeyLine.h"
#include "RecordingPerformer.h"
#include "KeyMap.h"

namespace {

std::string Errors(const KeyMap& map)
{
    std::string text;
    for (const KeyMapError& error : map.errors)
        text += std::to_string(error.line) + ": " + error.message + "\n";
    return text;
}

TEST(NamesTest, TheTableKnowsTheRemoteButtonsInAnyCaseAndNothingElse)
{
    std::string name;
    for (const char* known :
         {"KEY_OK", "KEY_UP", "KEY_DOWN", "KEY_LEFT", "KEY_RIGHT", "KEY_BACK", "KEY_MENU",
          "KEY_INFO", "KEY_PLAYPAUSE", "KEY_STOP", "KEY_NEXT", "KEY_NEXTSONG", "KEY_PREVIOUS",
          "KEY_PREVIOUSSONG", "KEY_FASTFORWARD", "KEY_REWIND", "KEY_RECORD", "KEY_VOLUMEUP",
          "KEY_VOLUMEDOWN", "KEY_MUTE", "KEY_CHANNELUP", "KEY_CHANNELDOWN", "KEY_0", "KEY_9",
          "KEY_POWER", "KEY_EPG", "KEY_RED", "KEY_GREEN", "KEY_YELLOW", "KEY_BLUE", "KEY_EXIT",
          "KEY_HOME"}) {
        EXPECT_TRUE(LookUpButtonName(known, &name)) << known;
        EXPECT_EQ(name, known);
    }
    EXPECT_TRUE(LookUpButtonName("key_volumeUp", &name));
    EXPECT_EQ(name, "KEY_VOLUMEUP");
    for (const char* unknown : {"KEY_", "KEY_OK ", "KEY_VOLUME_UP", "OK", "KEY_10", ""})
        EXPECT_FALSE(LookUpButtonName(unknown, &name)) << unknown;
    EXPECT_TRUE(LooksLikeButtonName("key_frob"));
    EXPECT_TRUE(LooksLikeButtonName("BTN_0"));
    EXPECT_FALSE(LooksLikeButtonName("0x12"));
    EXPECT_FALSE(LooksLikeButtonName("Enter"));
}

// A name line is its button's code line: found, repeated and listed alike,
// wherever [Names] stands in the file.
TEST(NamesTest, NameLinesActAsTheirButtonsCodeLines)
{
    KeyMap map = ParseKeyMap("[Keys]\n"
                             "key_ok = Enter, long: Alt+F4\n" // 2
                             "0x20 = Up, repeat\n"
                             "KEY_VOLUMEUP = VK_VOLUME_UP, repeat fast\n"
                             "[Keys:vlc.exe]\n"
                             "KEY_OK = Space\n" // 6
                             "[Names]\n"
                             "0x12 = KEY_OK\n"
                             "0x21 = key_volumeup\n");
    ASSERT_EQ(Errors(map), "");
    ASSERT_EQ(map.names.size(), 2u);
    EXPECT_EQ(map.NameOf(0x21), "KEY_VOLUMEUP");
    EXPECT_EQ(map.NameOf(0x20), "");
    EXPECT_EQ(DescribeButton(map, 0x12), "KEY_OK (0x12)");
    EXPECT_EQ(DescribeButton(map, 0x20), "0x20 (32)");

    const KeyMapping* ok = map.Find(0x12);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->line, 2);
    EXPECT_EQ(ok->name, "KEY_OK");
    EXPECT_EQ(DescribeMapping(*ok), "Enter, long: Alt+F4");
    EXPECT_EQ(DescribeMapping(*map.Find(0x21)), "VK_VOLUME_UP, repeat fast");
    EXPECT_EQ(DescribeMapping(*map.Find(0x12, "VLC.EXE")), "Space");
    // In file order, as the listing shows them.
    const KeySection& keys = *map.Section("");
    ASSERT_EQ(keys.mappings.size(), 3u);
    EXPECT_EQ(keys.mappings[0].line, 2);
    EXPECT_EQ(keys.mappings[1].line, 3);
    EXPECT_EQ(keys.mappings[2].line, 4);
}

struct RuleCase {
    const char* text;
    const char* errors; // "line: message" each
    const char* survivors; // "code=action" of [Keys], in order
};

const RuleCase kRules[] = {
    // A code line and a name line for one button: the first counts, either way round.
    {"[Names]\n0x12 = KEY_OK\n[Keys]\n0x12 = Enter\nKEY_OK = Esc\n",
     "5: KEY_OK (0x12) is mapped twice in [Keys] (first on line 4 as 0x12 (18), which "
     "counts)\n",
     "18=Enter"},
    {"[Keys]\nKEY_OK = Esc\n18 = Enter\n[Names]\n0x12 = KEY_OK\n",
     "3: key code 0x12 (18) is mapped twice in [Keys] (first on line 2 as KEY_OK, which "
     "counts)\n",
     "18=Esc"},
    {"[Names]\n0x12 = KEY_OK\n[Keys]\nKEY_OK = Esc\nkey_ok = Enter\n",
     "5: KEY_OK (0x12) is mapped twice in [Keys] (first on line 4 as KEY_OK, which "
     "counts)\n",
     "18=Esc"},
    // One name for two codes, two names for one code.
    {"[Names]\n0x12 = KEY_OK\n0x13 = KEY_OK\n[Keys]\nKEY_OK = Enter\n",
     "3: KEY_OK is given to two key codes (first to 0x12 (18) on line 2, which counts)\n",
     "18=Enter"},
    {"[Names]\n0x12 = KEY_OK\n18 = KEY_ENTER\n",
     "3: key code 0x12 (18) is named twice (first on line 2, KEY_OK, which counts)\n", ""},
    // Unknown names, in [Names] and in [Keys]; a name no [Names] line gives.
    {"[Names]\n0x12 = KEY_OKAY\n0x13 =\n300 = KEY_OK\n",
     "2: 'KEY_OKAY' is not a button name (the names are Linux's input event names, as in "
     "KEY_OK, KEY_VOLUMEUP, KEY_1)\n"
     "3: no button name after '='\n"
     "4: key code '300' is not 0 to 255 (decimal, or hexadecimal with 0x)\n",
     ""},
    {"[Keys]\nKEY_OKAY = Enter\nKEY_UP = Up\n0x05 = Esc\n",
     "2: 'KEY_OKAY' is not a button name (the names are Linux's input event names, as in "
     "KEY_OK, KEY_VOLUMEUP, KEY_1)\n"
     "3: KEY_UP is no button's name yet: give it to its key code in [Names], as in 0x12 = "
     "KEY_UP\n",
     "5=Esc"},
    // A name line's own action is checked as a code line's is.
    {"[Names]\n1 = KEY_OK\n[Keys]\nKEY_OK = Entr\n", "4: 'Entr' is not a key name\n", ""},
};

TEST(NamesTest, EachConflictIsReportedOnItsLineAndTheFirstLineCounts)
{
    for (const RuleCase& c : kRules) {
        SCOPED_TRACE(c.text);
        KeyMap map = ParseKeyMap(c.text);
        EXPECT_EQ(Errors(map), c.errors);
        std::string survivors;
        if (const KeySection* keys = map.Section(""))
            for (const KeyMapping& m : keys->mappings)
                survivors += (survivors.empty() ? "" : " ") + std::to_string(m.code) + "=" +
                             DescribeMapping(m);
        EXPECT_EQ(survivors, c.survivors);
    }
}

} // namespace

namespace {

// Where a person reads a key, a named button goes by its name.
TEST(NamesTest, TheMenuAndTheDisplayShowANamedButtonByItsName)
{
    KeyMap map = ParseKeyMap("[Names]\n0x12 = KEY_OK\n0x13 = KEY_MENU\n[Keys]\nKEY_OK = Enter\n");
    RecordingPerformer performer;
    KeyPath path(nullptr, 0);
    KeyActions actions(map, &performer, [] { return std::string(); }, nullptr);
    LastKeyLine lastKey(map);
    std::string shown;
    FunctionListener display([&](const KeyEvent&, KeyHandling* handling) { shown = handling->shown; });
    path.Listen(KeyPath::Stage::Act, &actions);
    path.Listen(KeyPath::Stage::Show, &lastKey);
    path.Listen(KeyPath::Stage::Show, &display);
    path.Frame(0x12, 1000);
    EXPECT_EQ(lastKey.text(), "Last key: KEY_OK (0x12) \xE2\x86\x92 Enter");
    EXPECT_EQ(shown, "KEY_OK \xE2\x86\x92 Enter");
    path.Frame(0x13, 5000);
    EXPECT_EQ(lastKey.text(), "Last key: KEY_MENU (0x13) (not mapped)");
    // Unnamed, as before.
    KeyAction enter;
    enter.steps = {{{VK_RETURN}, 0}};
    EXPECT_EQ(NamedDisplayText("", enter), "Enter");
}

} // namespace
