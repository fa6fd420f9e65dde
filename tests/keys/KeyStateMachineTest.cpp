#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KeyStateMachine.h"

namespace {

// Frames of a held key arrive every 250 ms, one poll apart.
const DWORD kPoll = 250;
const unsigned kTick = 0x100; // not a key code: the timer, as the program sets it

struct Case {
    const char* name;
    const char* map; // [Options] and [Keys] lines
    std::vector<std::pair<DWORD, unsigned>> frames; // (ms, code), in time order
    std::vector<std::string> performed;             // "ms action [xN] [(long)]"
};

// Frames of code every poll from `from` to `to` ms, both included.
std::vector<std::pair<DWORD, unsigned>> Held(unsigned code, DWORD from, DWORD to)
{
    std::vector<std::pair<DWORD, unsigned>> frames;
    for (DWORD t = from; t <= to; t += kPoll)
        frames.push_back({t, code});
    return frames;
}

std::vector<std::pair<DWORD, unsigned>> Join(std::vector<std::pair<DWORD, unsigned>> a,
                                             const std::vector<std::pair<DWORD, unsigned>>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Plays the frames, with the timer firing when WaitMs asks, and returns what
// was performed, times relative to base.
std::vector<std::string> Play(const Case& c, DWORD base)
{
    KeyMap map = ParseKeyMap(c.map);
    EXPECT_EQ(map.errors.size(), 0u) << c.name;
    KeyStateMachine machine;
    KeyStateMachine::Timing timing;
    timing.guardMs = map.repeatGuardMs;
    timing.longPressMs = map.longPressMs;
    timing.repeatDelayMs = map.repeatDelayMs;
    machine.SetTiming(timing);

    std::vector<std::string> performed;
    std::vector<DueAction> due;
    auto record = [&](DWORD at) {
        for (const DueAction& action : due)
            performed.push_back(std::to_string(at) + " " + DescribeAction(*action.action) +
                                (action.times > 1 ? " x" + std::to_string(action.times) : "") +
                                (action.isLong ? " (long)" : ""));
        due.clear();
    };
    DWORD now = 0;
    // The timer fires at its time as long as it comes before `until`.
    auto runTimer = [&](DWORD until) {
        for (DWORD wait; (wait = machine.WaitMs(base + now)) != INFINITE && now + wait <= until;) {
            now += wait;
            machine.Tick(base + now, &due);
            record(now);
        }
    };
    for (const auto& frame : c.frames) {
        runTimer(frame.first);
        now = frame.first;
        if (frame.second == kTick) {
            machine.Tick(base + now, &due);
        } else {
            unsigned code = frame.second;
            machine.Arrive(code, map.Find(code), base + now, &due);
        }
        record(now);
    }
    runTimer(now + 60000);
    return performed;
}

const char kPlain[] = "[Keys]\n1 = Enter\n2 = Esc\n";
const char kLong[] = "[Keys]\n1 = Enter, long: Alt+F4\n2 = Esc\n";

const Case kCases[] = {
    {"a plain key acts once however long it is held", kPlain, Held(1, 0, 2000), {"0 Enter"}},
    {"pressed again after the guard time: a second press", kPlain,
     {{0, 1}, {250, 1}, {1000, 1}}, {"0 Enter", "1000 Enter"}},
    {"pressed again within the guard time: one press", kPlain, {{0, 1}, {300, 1}}, {"0 Enter"}},
    {"another key in between ends the hold, mapped or not", kPlain,
     {{0, 1}, {100, 2}, {200, 1}, {300, 9}, {400, 1}},
     {"0 Enter", "100 Esc", "200 Enter", "400 Enter"}},
    {"repeat waits RepeatDelayMs, then acts on every frame",
     "[Keys]\n1 = Up, repeat\n", Held(1, 0, 1500),
     {"0 Up", "500 Up", "750 Up", "1000 Up", "1250 Up", "1500 Up"}},
    {"repeat fast: twice a frame after a second, three times after two",
     "[Keys]\n1 = VK_VOLUME_UP, repeat fast\n", Held(1, 0, 2500),
     {"0 VK_VOLUME_UP", "500 VK_VOLUME_UP", "750 VK_VOLUME_UP", "1000 VK_VOLUME_UP x2",
      "1250 VK_VOLUME_UP x2", "1500 VK_VOLUME_UP x2", "1750 VK_VOLUME_UP x2",
      "2000 VK_VOLUME_UP x3", "2250 VK_VOLUME_UP x3", "2500 VK_VOLUME_UP x3"}},
    {"a repeat starts again with each press",
     "[Options]\nRepeatDelayMs=300\n[Keys]\n1 = Up, repeat\n",
     Join(Held(1, 0, 500), Held(1, 1000, 1250)),
     {"0 Up", "500 Up", "1000 Up"}},
    {"RepeatDelayMs 0 repeats from the second frame",
     "[Options]\nRepeatDelayMs=0\n[Keys]\n1 = Up, repeat\n", Held(1, 0, 500),
     {"0 Up", "250 Up", "500 Up"}},
    {"a tap of a key with a long action: its short action on release", kLong, {{0, 1}},
     {"400 Enter"}},
    {"two frames are still a short press", kLong, Held(1, 0, 250), {"650 Enter"}},
    {"held past LongPressMs: the long action once, on the frame that proves it", kLong,
     Held(1, 0, 3000), {"1000 Alt+F4 (long)"}},
    {"held just short of LongPressMs: the short action", kLong, Held(1, 0, 750),
     {"1150 Enter"}},
    {"another key releases a key with a long action first", kLong,
     {{0, 1}, {250, 1}, {300, 2}}, {"300 Enter", "300 Esc"}},
    {"a key of another remote releases it too", kLong, {{0, 1}, {100, 9}}, {"100 Enter"}},
    {"LongPressMs from the options",
     "[Options]\nLongPressMs=300\n[Keys]\n1 = Enter, long: Alt+F4\n", Held(1, 0, 500),
     {"500 Alt+F4 (long)"}},
    {"a late timer still releases once", kLong, {{0, 1}, {5000, kTick}}, {"400 Enter"}},
    {"RepeatGuardMs 0: every frame is a press", "[Options]\nRepeatGuardMs=0\n[Keys]\n1 = Enter\n",
     {{0, 1}, {0, 1}, {250, 1}}, {"0 Enter", "0 Enter", "250 Enter"}},
    {"nothing is an action that does nothing, and keeps its key's hold",
     "[Keys]\n1 = nothing\n", Held(1, 0, 500), {"0 nothing"}},
};

TEST(KeyStateMachineTest, Cases)
{
    for (const Case& c : kCases)
        EXPECT_EQ(Play(c, 5000), c.performed) << c.name;
}

TEST(KeyStateMachineTest, CasesAcrossTheTickCountWrap)
{
    for (const Case& c : kCases)
        EXPECT_EQ(Play(c, 0xFFFFFFFFu - 600), c.performed) << c.name;
}

TEST(KeyStateMachineTest, NoTimerUnlessAReleaseHasSomethingToDo)
{
    KeyMap map = ParseKeyMap(kLong);
    KeyStateMachine machine;
    std::vector<DueAction> due;
    EXPECT_EQ(machine.WaitMs(0), INFINITE);
    machine.Arrive(2, map.Find(2), 0, &due);
    EXPECT_EQ(machine.WaitMs(0), INFINITE); // Esc acted; its release does nothing
    machine.Arrive(1, map.Find(1), 100, &due);
    EXPECT_EQ(machine.WaitMs(150), kDefaultRepeatGuardMs - 50);
    EXPECT_EQ(machine.phase(), KeyStateMachine::Phase::Pressed);
    // Reset (a new map, a pause) forgets the key without acting.
    machine.Reset();
    due.clear();
    machine.Tick(10000, &due);
    EXPECT_TRUE(due.empty());
    EXPECT_EQ(machine.WaitMs(10000), INFINITE);
}

} // namespace
