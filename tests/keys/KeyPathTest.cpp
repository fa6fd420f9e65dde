#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KeyActions.h"
#include "KeyPath.h"
#include "LastKeyLine.h"
#include "RecordingPerformer.h"

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

// Plays the frames through the key path to the key map's actions, with the
// timer firing when the path asks, and returns what was performed, times
// relative to base.
std::vector<std::string> Play(const Case& c, DWORD base)
{
    KeyMap map = ParseKeyMap(c.map);
    EXPECT_EQ(map.errors.size(), 0u) << c.name;
    KeyPath path(nullptr, 0);
    KeyFrames::Timing timing;
    timing.guardMs = map.repeatGuardMs;
    timing.longPressMs = map.longPressMs;
    path.SetTiming(timing);
    RecordingPerformer performer;
    KeyActions actions(map, &performer, [] { return std::string(); }, nullptr);
    path.Listen(KeyPath::Stage::Act, &actions);

    std::vector<std::string> performed;
    DWORD now = 0;
    auto record = [&] {
        for (const std::string& action : performer.performed)
            performed.push_back(std::to_string(now) + " " + action);
        performer.performed.clear();
    };
    // The timer fires at its time as long as it comes before `until`.
    auto runTimer = [&](DWORD until) {
        for (DWORD wait; (wait = path.WaitMs(base + now)) != INFINITE && now + wait <= until;) {
            now += wait;
            path.Tick(base + now);
            record();
        }
    };
    for (const auto& frame : c.frames) {
        runTimer(frame.first);
        now = frame.first;
        if (frame.second == kTick)
            path.Tick(base + now);
        else
            path.Frame(frame.second, base + now);
        record();
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
     Held(1, 0, 3000), {"1000 Alt+F4"}},
    {"held just short of LongPressMs: the short action", kLong, Held(1, 0, 750),
     {"1150 Enter"}},
    {"another key releases a key with a long action first", kLong,
     {{0, 1}, {250, 1}, {300, 2}}, {"300 Enter", "300 Esc"}},
    {"a key of another remote releases it too", kLong, {{0, 1}, {100, 9}}, {"100 Enter"}},
    {"LongPressMs from the options",
     "[Options]\nLongPressMs=300\n[Keys]\n1 = Enter, long: Alt+F4\n", Held(1, 0, 500),
     {"500 Alt+F4"}},
    {"a late timer still releases once", kLong, {{0, 1}, {5000, kTick}}, {"400 Enter"}},
    {"RepeatGuardMs 0: every frame is a press", "[Options]\nRepeatGuardMs=0\n[Keys]\n1 = Enter\n",
     {{0, 1}, {0, 1}, {250, 1}}, {"0 Enter", "0 Enter", "250 Enter"}},
    {"nothing is an action that does nothing, and keeps its key's hold",
     "[Keys]\n1 = nothing\n", Held(1, 0, 500), {"0 nothing"}},
};

TEST(KeyPathTest, TheKeyMapActsAsEachMappingSays)
{
    for (const Case& c : kCases)
        EXPECT_EQ(Play(c, 5000), c.performed) << c.name;
}

TEST(KeyPathTest, TheKeyMapActsTheSameAcrossTheTickCountWrap)
{
    for (const Case& c : kCases)
        EXPECT_EQ(Play(c, 0xFFFFFFFFu - 600), c.performed) << c.name;
}

// What the frames make, as every listener hears it: "P12", "R12/2", "L12/3",
// "X12" (released), "C" (cancelled), from frames (ms, code) and ticks.
std::string Events(const std::vector<std::pair<DWORD, unsigned>>& frames, DWORD base = 0)
{
    KeyFrames keyFrames;
    std::vector<KeyEvent> events;
    for (const auto& frame : frames) {
        if (frame.second == kTick)
            keyFrames.Tick(base + frame.first, &events);
        else
            keyFrames.Frame(frame.second, base + frame.first, &events);
    }
    std::string text;
    for (const KeyEvent& e : events) {
        const char* kinds = "PRLXC";
        text += (text.empty() ? "" : " ") + std::string(1, kinds[static_cast<int>(e.kind)]);
        if (e.kind != KeyEvent::Kind::Cancel)
            text += std::to_string(e.code);
        if (e.kind == KeyEvent::Kind::Repeat || e.kind == KeyEvent::Kind::Long)
            text += "/" + std::to_string(e.repeat);
    }
    return text;
}

TEST(KeyFramesTest, FramesBecomeAPressItsRepeatsOneLongPressAndARelease)
{
    // Held a second: the repeats count the frames, as LIRC's clients count
    // them; the long press comes with the frame at LongPressMs, once.
    EXPECT_EQ(Events(Join(Held(0x12, 0, 1250), {{1700, kTick}})),
              "P18 R18/1 R18/2 R18/3 R18/4 L18/4 R18/5 X18");
    // Across the tick count's wrap, and the guard: no frame for 400 ms is a
    // release, and the next frame a new press.
    EXPECT_EQ(Events({{0, 0x12}, {250, 0x12}, {700, 0x12}, {800, 0x13}, {900, 0x12}},
                     0xFFFFFF00),
              "P18 R18/1 X18 P18 X18 P19 X19 P18");
    // A late timer releases once; a tick before the guard does nothing.
    EXPECT_EQ(Events({{0, 1}, {300, kTick}, {5000, kTick}, {6000, kTick}}), "P1 X1");
}

TEST(KeyFramesTest, TheTimerRunsOnlyWhileAKeyIsInHandAndCancelForgetsIt)
{
    KeyFrames frames;
    std::vector<KeyEvent> events;
    EXPECT_EQ(frames.WaitMs(0), INFINITE);
    frames.Frame(1, 100, &events);
    EXPECT_EQ(frames.WaitMs(150), 400u - 50);
    EXPECT_EQ(frames.WaitMs(900), 0u);
    frames.Cancel(&events);
    EXPECT_EQ(frames.WaitMs(1000), INFINITE);
    frames.Tick(10000, &events);
    ASSERT_EQ(events.size(), 2u); // the press and the cancel: no release after it
    EXPECT_EQ(events[1].kind, KeyEvent::Kind::Cancel);
    // Cancelled with no key in hand, it still tells the listeners, so that
    // what a key started (keys held down) ends.
    frames.Cancel(&events);
    EXPECT_EQ(events.size(), 3u);
}

// The program's path in small: LIRC's listener, a dialog that takes keys
// while open, the key map's actions and the last-key line, in their stages.
struct Program {
    explicit Program(const char* text) : map(ParseKeyMap(text))
    {
        KeyFrames::Timing timing;
        timing.guardMs = map.repeatGuardMs;
        timing.longPressMs = map.longPressMs;
        path.SetTiming(timing);
        // Added out of stage order: the stages decide, not the calls.
        path.Listen(KeyPath::Stage::Show, &lastKey);
        path.Listen(KeyPath::Stage::Act, &actions);
        path.Listen(KeyPath::Stage::Capture, &dialog);
        path.Listen(KeyPath::Stage::Share, &lirc);
    }
    void Frame(unsigned code, DWORD at) { path.Frame(code, at); }

    KeyMap map;
    KeyPath path{nullptr, 0};
    RecordingPerformer performer;
    KeyActions actions{map, &performer, [] { return std::string(); }, nullptr};
    LastKeyLine lastKey{map};
    std::vector<std::string> lines; // "code repeat", as the LIRC clients get them
    FunctionListener lirc{[this](const KeyEvent& e, KeyHandling*) {
        if (e.kind == KeyEvent::Kind::Press || e.kind == KeyEvent::Kind::Repeat)
            lines.push_back(std::to_string(e.code) + " " + std::to_string(e.repeat));
    }};
    bool dialogOpen = false;
    std::vector<unsigned> dialogHeard;
    // As Set up the remote and Map a key take keys.
    FunctionListener dialog{[this](const KeyEvent& e, KeyHandling* handling) {
        if (!dialogOpen || e.kind == KeyEvent::Kind::Cancel)
            return;
        handling->taken = true;
        handling->described = ", to Set up the remote";
        if (e.kind == KeyEvent::Kind::Press)
            dialogHeard.push_back(e.code);
    }};
};

TEST(KeyPathTest, ADialogThatTakesTheKeysStopsTheActionsButNotLircNorTheMenuLine)
{
    Program p("[Keys]\n0x12 = Enter\n");
    p.dialogOpen = true;
    p.Frame(0x12, 1000);
    p.Frame(0x12, 1250);
    EXPECT_TRUE(p.performer.performed.empty()); // nothing typed while the setup is open
    EXPECT_EQ(p.dialogHeard, std::vector<unsigned>{0x12}); // a held button is one press
    EXPECT_EQ(p.lines, (std::vector<std::string>{"18 0", "18 1"}));
    EXPECT_EQ(p.lastKey.text(), "Last key: 0x12 (18), to Set up the remote");

    // Closed while the button is held: the rest of that press does nothing;
    // the next press acts again.
    p.dialogOpen = false;
    p.Frame(0x12, 1500);
    EXPECT_TRUE(p.performer.performed.empty());
    p.Frame(0x12, 3000);
    EXPECT_EQ(p.performer.performed, std::vector<std::string>{"Enter"});
    EXPECT_EQ(p.lastKey.text(), "Last key: 0x12 (18) = Enter");
    EXPECT_EQ(p.lines.back(), "18 0");
}

TEST(KeyPathTest, ALongPressIsOneLongActionForTheMapAndRisingRepeatsForLirc)
{
    Program p("[Keys]\n0x12 = Enter, long: Alt+F4\n");
    for (DWORD t = 0; t <= 1500; t += kPoll)
        p.Frame(0x12, t);
    EXPECT_EQ(p.performer.performed, std::vector<std::string>{"Alt+F4"});
    EXPECT_EQ(p.lines, (std::vector<std::string>{"18 0", "18 1", "18 2", "18 3", "18 4", "18 5",
                                                 "18 6"}));
    EXPECT_EQ(p.lastKey.text(), "Last key: 0x12 (18) = Enter, long: Alt+F4 (long)");
    p.path.Tick(5000); // released after the long action: no short one
    EXPECT_EQ(p.performer.performed.size(), 1u);
}

TEST(KeyPathTest, ACancelReachesEveryListenerAndTheShortActionNeverComes)
{
    Program p("[Keys]\n0x12 = Enter, long: Alt+F4\n");
    p.Frame(0x12, 0);
    p.dialogOpen = true; // a taking listener must not keep the cancel from the actions
    p.path.Cancel();
    p.dialogOpen = false;
    p.path.Tick(5000);
    p.Frame(0x13, 5100);
    EXPECT_TRUE(p.performer.performed.empty());
    EXPECT_EQ(p.performer.stops, 1); // what was being sent stops too
    EXPECT_EQ(p.lastKey.text(), "Last key: 0x13 (19) (not mapped)");
}

TEST(KeyPathTest, AFailedActionShowsNothing)
{
    Program p("[Keys]\n0x12 = Enter\n");
    p.performer.fail = true;
    KeyHandling seen;
    FunctionListener show([&](const KeyEvent&, KeyHandling* handling) { seen = *handling; });
    p.path.Listen(KeyPath::Stage::Show, &show);
    p.Frame(0x12, 0);
    EXPECT_TRUE(seen.taken);
    EXPECT_EQ(seen.shown, "");
    p.performer.fail = false;
    p.Frame(0x12, 1000);
    EXPECT_EQ(seen.shown, "Enter");
}

} // namespace
