#include <gtest/gtest.h>

#include "KeyInput.h"
#include "KeySender.h"
#include "MappingValue.h"
#include "RecordingPerformer.h"

namespace {

// The system's side of KeySender, strict: each call written down as the
// keys it pressed ("Ctrl+C"), "run x", "show x", "release Ctrl".
class RecordingSink : public InputSink {
public:
    std::vector<std::string> calls;
    int failAt = -1; // the call that the system refuses

    bool Send(const std::vector<INPUT>& inputs, std::string* error) override
    {
        std::string keys;
        for (const INPUT& input : inputs) {
            if (input.type == INPUT_MOUSE) {
                keys += MouseText(input.mi) + " ";
                continue;
            }
            if (input.ki.dwFlags & KEYEVENTF_KEYUP)
                continue;
            if (input.ki.dwFlags & KEYEVENTF_UNICODE)
                keys += "U+" + std::to_string(input.ki.wScan) + " ";
            else
                keys += std::to_string(input.ki.wVk) + " ";
        }
        return Record(keys, error);
    }
    bool Run(const std::string& command, std::string* error) override
    {
        return Record("run " + command, error);
    }
    bool Show(const std::string& command, std::string* error) override
    {
        return Record("show " + command, error);
    }
    void ReleaseIfDown(const std::vector<WORD>& keys) override
    {
        std::string text = "release";
        for (WORD vk : keys)
            text += " " + std::to_string(vk);
        calls.push_back(text);
    }

private:
    static std::string MouseText(const MOUSEINPUT& mouse)
    {
        switch (mouse.dwFlags) {
        case MOUSEEVENTF_LEFTDOWN: return "ldown";
        case MOUSEEVENTF_LEFTUP: return "lup";
        case MOUSEEVENTF_RIGHTDOWN: return "rdown";
        case MOUSEEVENTF_RIGHTUP: return "rup";
        case MOUSEEVENTF_WHEEL: return "wheel" + std::to_string(static_cast<int>(mouse.mouseData));
        }
        return "mouse?";
    }
    bool Record(const std::string& call, std::string* error)
    {
        calls.push_back(call);
        if (static_cast<int>(calls.size()) - 1 != failAt)
            return true;
        *error = "refused";
        return false;
    }
};

KeyAction Action(const char* value)
{
    KeyMapping mapping;
    std::string error;
    EXPECT_TRUE(ParseMappingValue(value, &mapping, &error)) << value << ": " << error;
    return mapping.action;
}

struct Sender {
    RecordingSink sink;
    RecordingNotices notices;
    KeySender sender{nullptr, 7, &sink, &notices};
};

// 'C' is 67, 'V' 86, Ctrl 17.
TEST(KeySenderTest, ASequenceWaitsOnTheTimerAndWhatComesMeanwhileQueuesBehindIt)
{
    Sender s;
    EXPECT_TRUE(s.sender.Perform(Action("Ctrl+C, wait 100, Ctrl+V"), 1));
    EXPECT_EQ(s.sink.calls, std::vector<std::string>{"17 67 "});
    EXPECT_EQ(s.sender.waitingMs(), 100u);
    EXPECT_FALSE(s.sender.Idle());
    // A second press, and a command, while the first waits: behind it, whole.
    s.sender.Perform(Action("Ctrl+C, wait 100, Ctrl+V"), 1);
    s.sender.Perform(Action("run: x.exe"), 1);
    EXPECT_EQ(s.sink.calls.size(), 1u);
    EXPECT_FALSE(s.sender.OnTimer(8)); // another part's timer
    EXPECT_TRUE(s.sender.OnTimer(7));
    EXPECT_EQ(s.sink.calls, (std::vector<std::string>{"17 67 ", "17 86 ", "17 67 "}));
    s.sender.OnTimer(7);
    EXPECT_EQ(s.sink.calls, (std::vector<std::string>{"17 67 ", "17 86 ", "17 67 ", "17 86 ",
                                                      "run x.exe"}));
    EXPECT_TRUE(s.sender.Idle());
    EXPECT_TRUE(s.notices.told.empty());
}

TEST(KeySenderTest, StoppedInAWaitItSendsNoMoreAndReleasesWhatItPressed)
{
    Sender s;
    s.sender.Perform(Action("Ctrl+C, wait 1000, Ctrl+V"), 2);
    s.sender.Stop(); // Pause, stepping aside, the map reloaded, exit
    EXPECT_EQ(s.sink.calls, (std::vector<std::string>{"17 67 ", "release 17 67"}));
    EXPECT_TRUE(s.sender.Idle());
    EXPECT_EQ(s.sender.waitingMs(), 0u);
    s.sender.OnTimer(7); // a timer message already posted
    EXPECT_EQ(s.sink.calls.size(), 2u);
    // Nothing in hand: nothing to release.
    s.sender.Perform(Action("Enter"), 1);
    s.sender.Stop();
    EXPECT_EQ(s.sink.calls.back(), "13 ");
}

TEST(KeySenderTest, ARefusedStepEndsItsActionToldOnceAndTheNextOneGoesOn)
{
    Sender s;
    s.sink.failAt = 0;
    EXPECT_FALSE(s.sender.Perform(Action("Ctrl+C, wait 100, Ctrl+V"), 1));
    EXPECT_EQ(s.notices.told, std::vector<std::string>{
                                  "Could not send the keys: Ctrl+C, wait 100, Ctrl+V: refused"});
    EXPECT_TRUE(s.sender.Idle()); // no wait for what will not be sent
    EXPECT_TRUE(s.sender.Perform(Action("show: vlc.exe"), 1));
    EXPECT_EQ(s.sink.calls, (std::vector<std::string>{"17 67 ", "show vlc.exe"}));
    s.sink.failAt = 2;
    EXPECT_FALSE(s.sender.Perform(Action("show: vlc.exe"), 1));
    EXPECT_EQ(s.notices.told.back(), "Could not show the program: vlc.exe\nrefused");
}

TEST(KeySenderTest, HeldBackNothingGoesOutUntilTheMenuCloses)
{
    Sender s;
    s.sender.HoldBack(true);
    s.sender.Perform(Action("Up, Down"), 1);
    EXPECT_TRUE(s.sink.calls.empty());
    s.sender.HoldBack(false);
    EXPECT_EQ(s.sink.calls, (std::vector<std::string>{"38 ", "40 "}));
}

TEST(KeySenderTest, TooManyWaitingAreDroppedNotQueuedForever)
{
    Sender s;
    for (size_t i = 0; i < KeySender::kMaxWaiting + 5; ++i)
        s.sender.Perform(Action("A, wait 10, B"), 1);
    size_t runs = 1; // the first is in its wait
    while (!s.sender.Idle()) {
        s.sender.OnTimer(7);
        ++runs;
    }
    EXPECT_EQ(runs, KeySender::kMaxWaiting + 1);
    EXPECT_EQ(s.sink.calls.size(), 2 * KeySender::kMaxWaiting);
}

TEST(KeySenderTest, TextGoesAsUnicodeUnitsWithSurrogatePairsHighFirst)
{
    // u-umlaut, sharp s, a comma, a grinning face (U+1F600: D83D DE00).
    std::vector<INPUT> inputs = TextInputs("\xC3\xBC\xC3\x9F,\xF0\x9F\x98\x80");
    const WORD units[] = {0xFC, 0xDF, ',', 0xD83D, 0xDE00};
    ASSERT_EQ(inputs.size(), 10u);
    for (size_t i = 0; i < inputs.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(inputs[i].ki.wVk, 0);
        EXPECT_EQ(inputs[i].ki.wScan, units[i / 2]);
        EXPECT_EQ(inputs[i].ki.dwFlags, KEYEVENTF_UNICODE | (i % 2 ? KEYEVENTF_KEYUP : 0));
    }
    // A line end is Enter, whichever way it is written.
    std::vector<INPUT> lines = TextInputs("a\r\nb\nc");
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[2].ki.wVk, VK_RETURN);
    EXPECT_EQ(lines[6].ki.wVk, VK_RETURN);
}

} // namespace

TEST(KeySenderTest, ADragHoldsTheButtonUntilAClickItsModeOrAStop)
{
    Sender s;
    s.sender.Perform(Action("mouse: right click"), 1);
    s.sender.Perform(Action("mouse: wheel down"), 2);
    EXPECT_EQ(s.sink.calls, (std::vector<std::string>{"rdown rup ", "wheel-120 ", "wheel-120 "}));
    // The next click is the drop, not a click of its own.
    s.sink.calls.clear();
    s.sender.Perform(Action("mouse: drag"), 1);
    s.sender.Perform(Action("mouse: click"), 1);
    s.sender.Perform(Action("mouse: click"), 1);
    EXPECT_EQ(s.sink.calls, (std::vector<std::string>{"ldown ", "lup ", "ldown lup "}));
    // The mode ended: let go, after what waits; with nothing held, nothing.
    s.sink.calls.clear();
    s.sender.Perform(Action("Ctrl+C, wait 100, Ctrl+V"), 1);
    s.sender.Perform(Action("mouse: drag"), 1);
    s.sender.EndDrag();
    s.sender.OnTimer(7);
    s.sender.EndDrag();
    EXPECT_EQ(s.sink.calls, (std::vector<std::string>{"17 67 ", "17 86 ", "ldown ", "lup "}));
    // Paused or quit while dragging: the button goes up at once.
    s.sink.calls.clear();
    s.sender.Perform(Action("mouse: drag"), 1);
    s.sender.Stop();
    s.sender.Stop();
    EXPECT_EQ(s.sink.calls, (std::vector<std::string>{"ldown ", "lup "}));
}
