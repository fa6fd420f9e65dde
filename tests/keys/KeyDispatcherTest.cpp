#include <gtest/gtest.h>

#include "KeyDispatcher.h"
#include "KeyInput.h"

namespace {

// Frames of a held key arrive every 250 ms, one poll apart.
const DWORD kPoll = 250;

KeyDispatcher WithMap(const char* text)
{
    KeyDispatcher keys;
    keys.SetMap(ParseKeyMap(text));
    return keys;
}

TEST(KeyDispatcherTest, HeldKeyActsOnceUnlessItRepeats)
{
    KeyDispatcher keys = WithMap("[Keys]\n1 = Enter\n2 = VK_VOLUME_UP, repeat\n");
    DWORD t = 1000;
    EXPECT_NE(keys.Arrive(1, t), nullptr);
    EXPECT_EQ(keys.Arrive(1, t += kPoll), nullptr);
    EXPECT_EQ(keys.lastKey(), "Last key: 0x01 (1) = Enter (held)");
    // Held for two seconds: every frame renews the hold.
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(keys.Arrive(1, t += kPoll), nullptr);
    // Released and pressed again after the guard time.
    EXPECT_NE(keys.Arrive(1, t += 401), nullptr);

    for (int i = 0; i < 4; ++i)
        EXPECT_NE(keys.Arrive(2, t += kPoll), nullptr);
    EXPECT_EQ(keys.lastKey(), "Last key: 0x02 (2) = VK_VOLUME_UP, repeat");
}

TEST(KeyDispatcherTest, AnotherKeyInBetweenEndsTheHold)
{
    KeyDispatcher keys = WithMap("[Keys]\n1 = Enter\n2 = Esc\n");
    EXPECT_NE(keys.Arrive(1, 0), nullptr);
    EXPECT_NE(keys.Arrive(2, 100), nullptr);
    EXPECT_NE(keys.Arrive(1, 200), nullptr);
    // A key not mapped counts as a key in between, and is named as such.
    EXPECT_EQ(keys.Arrive(9, 300), nullptr);
    EXPECT_EQ(keys.lastKey(), "Last key: 0x09 (9) (not mapped)");
    EXPECT_NE(keys.Arrive(1, 400), nullptr);
}

TEST(KeyDispatcherTest, GuardTimeFromTheMapAndAcrossTheTickWrap)
{
    KeyDispatcher none = WithMap("[Options]\nRepeatGuardMs=0\n[Keys]\n1 = Enter\n");
    EXPECT_NE(none.Arrive(1, 0), nullptr);
    EXPECT_NE(none.Arrive(1, 0), nullptr);

    KeyDispatcher keys = WithMap("[Options]\nRepeatGuardMs=1000\n[Keys]\n1 = Enter\n");
    EXPECT_NE(keys.Arrive(1, 0xFFFFFF00u), nullptr);
    EXPECT_EQ(keys.Arrive(1, 0x00000200u), nullptr); // 768 ms later, past the wrap
    EXPECT_NE(keys.Arrive(1, 0x00000600u), nullptr);
    // After a pause or a new map, the next arrival is a new press.
    EXPECT_EQ(keys.Arrive(1, 0x00000700u), nullptr);
    keys.Reset();
    EXPECT_NE(keys.Arrive(1, 0x00000800u), nullptr);
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
