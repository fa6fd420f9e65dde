#include <gtest/gtest.h>

#include "SetupSession.h"

namespace {

using Heard = SetupSession::Heard;

std::string Named(const SetupSession& session)
{
    std::string text;
    for (const NamedButton& button : session.Named())
        text += (text.empty() ? "" : " ") + std::to_string(button.code) + "=" + button.name;
    return text;
}

TEST(SetupSessionTest, EachPressNamesTheButtonWaitedFor)
{
    SetupSession session({});
    ASSERT_EQ(SetupButtons()[0], "KEY_OK");
    EXPECT_EQ(session.Press(0x12), Heard::Taken);
    EXPECT_EQ(session.step(), 1u);
    EXPECT_EQ(session.Press(0x20), Heard::Taken);
    session.Skip(); // no Down
    EXPECT_EQ(session.Press(0x21), Heard::Taken);
    EXPECT_EQ(Named(session), "18=KEY_OK 32=KEY_UP 33=KEY_LEFT");
    // Back to Left, named again by another code.
    session.Back();
    EXPECT_EQ(session.Press(0x22), Heard::Taken);
    EXPECT_EQ(Named(session), "18=KEY_OK 32=KEY_UP 34=KEY_LEFT");
    session.Back();
    session.Back();
    session.Back();
    session.Back();
    EXPECT_EQ(session.step(), 0u);
}

// A code with another name is pointed out, not taken; pressed again, it
// is, and the other button loses it.
TEST(SetupSessionTest, ACodeWithAnotherNameIsPointedOutBeforeItIsTaken)
{
    SetupSession session({{0x40, "KEY_MENU"}, {0x12, "KEY_OK"}});
    std::string other;
    // OK's own code, as the settings name it: taken.
    EXPECT_EQ(session.Press(0x12), Heard::Taken);
    EXPECT_EQ(session.Press(0x40, &other), Heard::PointedOut);
    EXPECT_EQ(other, "KEY_MENU");
    EXPECT_EQ(session.step(), 1u);
    EXPECT_EQ(session.Press(0x12, &other), Heard::PointedOut);
    EXPECT_EQ(other, "KEY_OK");
    // Another button, then the first again: pointed out once more.
    EXPECT_EQ(session.Press(0x40, &other), Heard::PointedOut);
    EXPECT_EQ(session.Press(0x40), Heard::Taken);
    EXPECT_EQ(Named(session), "18=KEY_OK 64=KEY_UP");
    // Down takes OK's code after all: OK has none left in this walk.
    EXPECT_EQ(session.Press(0x12), Heard::PointedOut);
    EXPECT_EQ(session.Press(0x12), Heard::Taken);
    EXPECT_EQ(Named(session), "64=KEY_UP 18=KEY_DOWN");
}

TEST(SetupSessionTest, TheWalkEndsAfterTheLastButton)
{
    SetupSession session({});
    for (size_t i = 0; i < SetupButtons().size(); ++i)
        EXPECT_EQ(session.Press(static_cast<unsigned>(i)), Heard::Taken);
    EXPECT_TRUE(session.through());
    EXPECT_EQ(session.Press(200), Heard::Through);
    session.Skip();
    EXPECT_EQ(session.step(), SetupButtons().size());
    EXPECT_EQ(session.Named().size(), SetupButtons().size());
}

} // namespace
