#include <gtest/gtest.h>

#include "KeyActions.h"
#include "KeyInput.h"
#include "KeyPath.h"
#include "LastKeyLine.h"
#include "RecordingPerformer.h"

namespace {

const DWORD kPoll = 250;

// The key map's actions and the menu's line on a key path, with the
// program in front as the test says.
struct Keys {
    explicit Keys(const char* text) : map(ParseKeyMap(text))
    {
        path.Listen(KeyPath::Stage::Act, &actions);
        path.Listen(KeyPath::Stage::Show, &lastKey);
    }
    // What was performed for a frame of code at now; "" for nothing.
    std::string Arrive(unsigned code, DWORD now, const char* front = "")
    {
        program = front;
        performer.performed.clear();
        path.Frame(code, now);
        std::string text;
        for (const std::string& action : performer.performed)
            text += (text.empty() ? "" : ";") + action;
        return text;
    }

    KeyMap map;
    std::string program;
    int asked = 0;
    std::string above; // the program in front that outranks this one
    RecordingPerformer performer;
    RecordingMover mover;
    KeyPath path{nullptr, 0};
    KeyActions actions{map, &performer,
                       [this] {
                           ++asked;
                           return program;
                       },
                       nullptr, &mover, [this] { return above; }};
    LastKeyLine lastKey{map};
};

TEST(KeyActionsTest, TheMenuLineNamesTheKeyItsMappingAndItsState)
{
    Keys keys("[Keys]\n1 = Enter\n2 = Esc, long: Alt+F4\n");
    EXPECT_EQ(keys.lastKey.text(), "Last key: none yet (press a key on the remote)");
    DWORD t = 1000;
    EXPECT_EQ(keys.Arrive(1, t), "Enter");
    EXPECT_EQ(keys.lastKey.text(), "Last key: 0x01 (1) = Enter");
    EXPECT_EQ(keys.Arrive(1, t += kPoll), "");
    EXPECT_EQ(keys.lastKey.text(), "Last key: 0x01 (1) = Enter (held)");
    EXPECT_EQ(keys.Arrive(9, t += kPoll), "");
    EXPECT_EQ(keys.lastKey.text(), "Last key: 0x09 (9) (not mapped)");
    EXPECT_EQ(keys.Arrive(2, t += kPoll), "");
    EXPECT_EQ(keys.lastKey.text(), "Last key: 0x02 (2) = Esc, long: Alt+F4");
    for (int i = 0; i < 4; ++i)
        keys.Arrive(2, t += kPoll);
    EXPECT_EQ(keys.lastKey.text(), "Last key: 0x02 (2) = Esc, long: Alt+F4 (long)");
}

TEST(KeyActionsTest, TheProgramInFrontIsAskedOncePerPressAndOnlyWhenItMatters)
{
    Keys global("[Keys]\n1 = Enter\n");
    EXPECT_EQ(global.Arrive(1, 0, "vlc.exe"), "Enter");
    EXPECT_EQ(global.asked, 0);
    EXPECT_EQ(global.lastKey.text(), "Last key: 0x01 (1) = Enter");

    Keys keys("[Keys]\n1 = Enter\n2 = Esc\n[Keys:vlc.exe]\n1 = Space\n2 = nothing\n");
    EXPECT_EQ(keys.Arrive(1, 0, "VLC.exe"), "Space");
    EXPECT_EQ(keys.lastKey.text(), "Last key: 0x01 (1) = Space, from [Keys:vlc.exe]");
    // Held: the key keeps the section it was pressed in, whatever is in front.
    EXPECT_EQ(keys.Arrive(1, kPoll, "notepad.exe"), "");
    EXPECT_EQ(keys.asked, 1);
    EXPECT_EQ(keys.Arrive(1, 2000, "notepad.exe"), "Enter");
    EXPECT_EQ(keys.lastKey.text(), "Last key: 0x01 (1) = Enter, from [Keys]");
    EXPECT_EQ(keys.Arrive(2, 2100, "vlc.exe"), "nothing");
    EXPECT_EQ(keys.lastKey.text(), "Last key: 0x02 (2) = nothing, from [Keys:vlc.exe]");
    EXPECT_EQ(keys.asked, 3);
}

TEST(KeyActionsTest, ANewMapForgetsTheKeyInHand)
{
    Keys keys("[Keys]\n1 = Enter, long: Esc\n");
    keys.Arrive(1, 0);
    keys.map = ParseKeyMap("[Keys]\n1 = Tab\n");
    keys.actions.MapChanged();
    keys.performer.performed.clear();
    keys.path.Tick(5000); // the old key's release: its short action is gone with its map
    EXPECT_TRUE(keys.performer.performed.empty());
    EXPECT_EQ(keys.Arrive(1, 6000), "Tab"); // a new press with the new map
}

TEST(KeyActionsTest, KeystrokesAreHeldBackWhileTheMenuIsOpenCommandsAreNot)
{
    Keys keys("[Keys]\n1 = Enter\n2 = run: notepad.exe\n");
    keys.actions.HoldBackKeystrokes(true);
    EXPECT_EQ(keys.Arrive(1, 0), "");
    EXPECT_EQ(keys.Arrive(2, 100), "run: notepad.exe");
    keys.actions.HoldBackKeystrokes(false);
    EXPECT_EQ(keys.Arrive(1, 200), "Enter");
}

TEST(KeyActionsTest, AModeComesFirstUntilItEndsAndOnceTakesOneKey)
{
    Keys keys("[Keys]\n1 = mode: Mouse\n2 = Enter\n3 = mode: Mouse, once\n"
              "[Mode:Mouse]\n1 = mode: off\n2 = Space\n4 = Left\n");
    int changes = 0;
    KeyActions actions(keys.map, &keys.performer, [] { return std::string(); },
                       [&] { ++changes; });
    KeyPath path(nullptr, 0);
    std::string shown;
    bool always = false;
    FunctionListener display([&](const KeyEvent&, KeyHandling* handling) {
        shown = handling->shown;
        always = handling->showAlways;
    });
    path.Listen(KeyPath::Stage::Act, &actions);
    path.Listen(KeyPath::Stage::Show, &display);
    actions.MapChanged();
    EXPECT_EQ(actions.mode(), "");
    DWORD t = 0;
    auto press = [&](unsigned code) {
        keys.performer.performed.clear();
        path.Frame(code, t += 1000);
        return keys.performer.performed.empty() ? std::string() : keys.performer.performed[0];
    };
    EXPECT_EQ(press(1), "");
    EXPECT_EQ(actions.mode(), "Mouse");
    EXPECT_EQ(shown, "Mouse mode");
    EXPECT_TRUE(always); // shown without ShowKeys: the keys do something else now
    EXPECT_EQ(press(2), "Space");
    EXPECT_EQ(press(4), "Left");
    EXPECT_EQ(press(1), ""); // mode: off
    EXPECT_EQ(shown, "Mode off");
    EXPECT_EQ(press(2), "Enter");
    EXPECT_EQ(press(3), "");
    EXPECT_EQ(actions.mode(), "Mouse");
    EXPECT_EQ(press(2), "Space"); // the one key
    EXPECT_EQ(actions.mode(), "");
    EXPECT_EQ(press(2), "Enter");
    EXPECT_EQ(changes, 4);
    // The menu's way back.
    press(1);
    actions.LeaveMode();
    EXPECT_EQ(press(2), "Enter");
}

TEST(KeyActionsTest, StartModeAtTheStartAndAModeWhoseSectionsWentEnds)
{
    Keys keys("[Keys]\n2 = Enter\n[Mode:Mouse]\n2 = Space\n[Options]\nStartMode=mouse\n");
    keys.actions.MapChanged();
    EXPECT_EQ(keys.actions.mode(), "Mouse");
    EXPECT_EQ(keys.Arrive(2, 0), "Space");
    keys.map = ParseKeyMap("[Keys]\n2 = Enter\n");
    keys.actions.MapChanged();
    EXPECT_EQ(keys.actions.mode(), "");
    EXPECT_EQ(keys.Arrive(2, 1000), "Enter");
}

TEST(KeyActionsTest, AHeldKeyAddsNoRepeatWhileItsSequenceIsStillBeingSent)
{
    Keys keys("[Options]\nRepeatDelayMs=0\n[Keys]\n1 = Down, wait 900, Down, repeat\n");
    EXPECT_EQ(keys.Arrive(1, 0), "Down, wait 900, Down");
    keys.performer.idle = false;
    EXPECT_EQ(keys.Arrive(1, kPoll), "");
    keys.performer.idle = true;
    EXPECT_EQ(keys.Arrive(1, 2 * kPoll), "Down, wait 900, Down");
}

TEST(KeyInputTest, PressesInOrderReleasesInReverseWithExtendedKeysMarked)
{
    std::vector<INPUT> inputs = KeyStrokeInputs({VK_CONTROL, VK_SHIFT, VK_LEFT});
    const WORD order[] = {VK_CONTROL, VK_SHIFT, VK_LEFT, VK_LEFT, VK_SHIFT, VK_CONTROL};
    ASSERT_EQ(inputs.size(), 6u);
    for (size_t i = 0; i < inputs.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(inputs[i].type, static_cast<DWORD>(INPUT_KEYBOARD));
        EXPECT_EQ(inputs[i].ki.wVk, order[i]);
        EXPECT_EQ((inputs[i].ki.dwFlags & KEYEVENTF_KEYUP) != 0, i >= 3);
        EXPECT_EQ((inputs[i].ki.dwFlags & KEYEVENTF_EXTENDEDKEY) != 0, order[i] == VK_LEFT);
    }
    for (WORD vk : {WORD(VK_MEDIA_PLAY_PAUSE), WORD(VK_VOLUME_UP), WORD(VK_DELETE), WORD(VK_PRIOR)})
        EXPECT_TRUE(KeyStrokeInputs({vk})[0].ki.dwFlags & KEYEVENTF_EXTENDEDKEY) << vk;
    for (WORD vk : {WORD(VK_RETURN), WORD('A'), WORD(VK_NUMPAD4)})
        EXPECT_FALSE(KeyStrokeInputs({vk})[0].ki.dwFlags & KEYEVENTF_EXTENDEDKEY) << vk;
}

} // namespace

TEST(KeyActionsTest, AMoveRunsFromThePressToTheReleaseAndNothingElseStartsOne)
{
    Keys keys("[Keys]\n1 = mouse: right\n2 = mouse: up left\n3 = mouse: click\n"
              "4 = mouse: wheel down, repeat\n");
    DWORD t = 1000;
    EXPECT_EQ(keys.Arrive(1, t), "");
    EXPECT_EQ(keys.mover.moves, std::vector<std::string>({"right"}));
    // Held: the frames keep it going, they do not start it again.
    for (int i = 0; i < 8; ++i)
        keys.Arrive(1, t += kPoll);
    EXPECT_EQ(keys.mover.moves, std::vector<std::string>({"right"}));
    EXPECT_EQ(keys.lastKey.text(), "Last key: 0x01 (1) = mouse: right");
    keys.path.Tick(t + kDefaultRepeatGuardMs); // the release
    EXPECT_EQ(keys.mover.moves, std::vector<std::string>({"right", "stop"}));

    // Another key's frame ends the move before its own action.
    keys.mover.moves.clear();
    keys.Arrive(2, t += 2000);
    EXPECT_EQ(keys.Arrive(3, t += kPoll), "mouse: click");
    EXPECT_EQ(keys.mover.moves, std::vector<std::string>({"up left", "stop"}));

    // Clicks and the wheel are the performer's, with their repeats.
    keys.Arrive(4, t += 2000);
    EXPECT_EQ(keys.Arrive(4, t += kDefaultRepeatDelayMs), "mouse: wheel down");

    // Paused, stepped aside, the map reloaded: the move stops too.
    keys.mover.moves.clear();
    keys.Arrive(1, t += 2000);
    keys.path.Cancel();
    EXPECT_EQ(keys.mover.moves, std::vector<std::string>({"right", "stop"}));
    keys.mover.moves.clear();
    keys.Arrive(1, t += 2000);
    keys.actions.HoldBackKeystrokes(true); // the menu opened
    EXPECT_EQ(keys.mover.moves, std::vector<std::string>({"right", "stop"}));
}

TEST(KeyActionsTest, ADragEndsWithItsMode)
{
    Keys keys("[Keys]\n1 = mode: Mouse\n[Mode:Mouse]\n1 = mode: off\n2 = mouse: drag\n");
    keys.Arrive(1, 0);
    EXPECT_EQ(keys.Arrive(2, 1000), "mouse: drag");
    int before = keys.performer.endDrags;
    keys.Arrive(1, 2000); // mode: off
    EXPECT_EQ(keys.performer.endDrags, before + 1);
}

TEST(KeyActionsTest, InputForAProgramWithMoreRightsIsNotSentAndTheLineSaysSo)
{
    Keys keys("[Names]\n1 = KEY_OK\n[Keys]\n1 = Enter\n2 = run: notepad.exe\n"
              "3 = mouse: click\n4 = mouse: down\n5 = type: hello\n");
    std::string shown;
    bool always = false;
    FunctionListener display([&](const KeyEvent&, KeyHandling* handling) {
        shown = handling->shown;
        always = handling->showAlways;
    });
    keys.path.Listen(KeyPath::Stage::Show, &display);
    keys.above = "vlc.exe";
    DWORD t = 0;
    EXPECT_EQ(keys.Arrive(1, t), "");
    EXPECT_EQ(shown, "Not sent: vlc.exe runs as administrator");
    EXPECT_TRUE(always);
    EXPECT_EQ(keys.lastKey.text(),
              "Last key: KEY_OK (0x01) \xE2\x86\x92 Enter. Not sent: vlc.exe runs as administrator");
    EXPECT_EQ(keys.Arrive(3, t += 1000), "");
    EXPECT_EQ(keys.Arrive(5, t += 1000), "");
    // A command starts a program, which its rights do not stop; and the
    // cursor moves over any window.
    EXPECT_EQ(keys.Arrive(2, t += 1000), "run: notepad.exe");
    keys.Arrive(4, t += 1000);
    EXPECT_EQ(keys.mover.moves, std::vector<std::string>({"down"}));

    keys.above.clear();
    EXPECT_EQ(keys.Arrive(1, t += 1000), "Enter");
    EXPECT_EQ(keys.lastKey.text(), "Last key: KEY_OK (0x01) \xE2\x86\x92 Enter");
}
