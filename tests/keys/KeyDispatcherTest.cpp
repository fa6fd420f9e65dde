#include <gtest/gtest.h>

#include "KeyDispatcher.h"
#include "KeyInput.h"

namespace {

const DWORD kPoll = 250;

KeyDispatcher WithMap(const char* text)
{
    KeyDispatcher keys;
    keys.SetMap(ParseKeyMap(text));
    return keys;
}

// What is due for a frame of code at now with program in front; "" for nothing.
std::string Arrive(KeyDispatcher& keys, unsigned code, DWORD now, const char* program = "",
                   int* asked = nullptr)
{
    std::vector<DueAction> due;
    keys.Arrive(code, now, [&] {
        if (asked)
            ++*asked;
        return std::string(program);
    }, &due);
    std::string text;
    for (const DueAction& action : due)
        text += (text.empty() ? "" : ";") + DescribeAction(*action.action);
    return text;
}

TEST(KeyDispatcherTest, TheMenuLineNamesTheKeyItsMappingAndItsState)
{
    KeyDispatcher keys = WithMap("[Keys]\n1 = Enter\n2 = Esc, long: Alt+F4\n");
    EXPECT_EQ(keys.lastKey(), "Last key: none yet (press a key on the remote)");
    DWORD t = 1000;
    EXPECT_EQ(Arrive(keys, 1, t), "Enter");
    EXPECT_EQ(keys.lastKey(), "Last key: 0x01 (1) = Enter");
    EXPECT_EQ(Arrive(keys, 1, t += kPoll), "");
    EXPECT_EQ(keys.lastKey(), "Last key: 0x01 (1) = Enter (held)");
    EXPECT_EQ(Arrive(keys, 9, t += kPoll), "");
    EXPECT_EQ(keys.lastKey(), "Last key: 0x09 (9) (not mapped)");
    EXPECT_EQ(Arrive(keys, 2, t += kPoll), "");
    EXPECT_EQ(keys.lastKey(), "Last key: 0x02 (2) = Esc, long: Alt+F4");
    for (int i = 0; i < 4; ++i)
        Arrive(keys, 2, t += kPoll);
    EXPECT_EQ(keys.lastKey(), "Last key: 0x02 (2) = Esc, long: Alt+F4 (long)");
}

TEST(KeyDispatcherTest, TheProgramInFrontIsAskedOncePerPressAndOnlyWhenItMatters)
{
    int asked = 0;
    KeyDispatcher global = WithMap("[Keys]\n1 = Enter\n");
    EXPECT_EQ(Arrive(global, 1, 0, "vlc.exe", &asked), "Enter");
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(global.lastKey(), "Last key: 0x01 (1) = Enter");

    KeyDispatcher keys = WithMap("[Keys]\n1 = Enter\n2 = Esc\n[Keys:vlc.exe]\n1 = Space\n"
                                 "2 = nothing\n");
    EXPECT_EQ(Arrive(keys, 1, 0, "VLC.exe", &asked), "Space");
    EXPECT_EQ(keys.lastKey(), "Last key: 0x01 (1) = Space, from [Keys:vlc.exe]");
    // Held: the key keeps the section it was pressed in, whatever is in front.
    EXPECT_EQ(Arrive(keys, 1, kPoll, "notepad.exe", &asked), "");
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Arrive(keys, 1, 2000, "notepad.exe", &asked), "Enter");
    EXPECT_EQ(keys.lastKey(), "Last key: 0x01 (1) = Enter, from [Keys]");
    EXPECT_EQ(Arrive(keys, 2, 2100, "vlc.exe", &asked), "nothing");
    EXPECT_EQ(keys.lastKey(), "Last key: 0x02 (2) = nothing, from [Keys:vlc.exe]");
    EXPECT_EQ(asked, 3);
}

TEST(KeyDispatcherTest, ANewMapForgetsTheKeyInHand)
{
    KeyDispatcher keys = WithMap("[Keys]\n1 = Enter, long: Esc\n");
    Arrive(keys, 1, 0);
    EXPECT_NE(keys.WaitMs(0), INFINITE);
    keys.SetMap(ParseKeyMap("[Keys]\n1 = Tab\n"));
    EXPECT_EQ(keys.WaitMs(0), INFINITE);
    std::vector<DueAction> due;
    keys.Tick(5000, &due);
    EXPECT_TRUE(due.empty());
    EXPECT_EQ(Arrive(keys, 1, 100), "Tab"); // a new press with the new map
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
