#include <gtest/gtest.h>

#include <vector>

#include "TunerRecovery.h"

namespace {

using Attempt = TunerRecovery::Attempt;

// One event at a time, or a question: what is due at `at`?
enum class Event { Started, NoTuner, Stopped, Resumed, DeviceChanged, Due };

struct Step {
    DWORD at;
    Event event;
    Attempt due = Attempt::None; // for Event::Due
};

struct Case {
    const char* name;
    std::vector<Step> steps;
};

void Play(const Case& c, DWORD base)
{
    TunerRecovery recovery;
    for (const Step& step : c.steps) {
        DWORD now = base + step.at;
        switch (step.event) {
        case Event::Started: recovery.Started(); break;
        case Event::NoTuner: recovery.NoTuner(now); break;
        case Event::Stopped: recovery.Stopped(); break;
        case Event::Resumed: recovery.Resumed(now); break;
        case Event::DeviceChanged: recovery.DeviceChanged(now); break;
        case Event::Due:
            EXPECT_EQ(static_cast<int>(recovery.Due(now)), static_cast<int>(step.due))
                << c.name << ", at " << step.at << " ms";
            break;
        }
    }
}

const Attempt kNone = Attempt::None;
const Attempt kStart = Attempt::Start;
const Attempt kRestart = Attempt::Restart;

const Case kCases[] = {
    {"a replug's notices make one restart once they settle",
     {{0, Event::Started}, {1000, Event::DeviceChanged}, {1200, Event::DeviceChanged},
      {1400, Event::DeviceChanged}, {1899, Event::Due, kNone}, {1900, Event::Due, kRestart},
      {5000, Event::Due, kNone}}},
    {"a resume restarts the library",
     {{0, Event::Started}, {100, Event::Resumed}, {600, Event::Due, kRestart}}},
    {"a steady stream of notices delays the restart at most a while",
     {{0, Event::Started}, {100, Event::DeviceChanged}, {500, Event::DeviceChanged},
      {900, Event::DeviceChanged}, {1300, Event::DeviceChanged}, {1700, Event::DeviceChanged},
      {2100, Event::DeviceChanged}, {2500, Event::DeviceChanged}, {2900, Event::DeviceChanged},
      {3099, Event::Due, kNone}, {3100, Event::Due, kRestart}}},
    {"no tuner: retries back off to half a minute",
     {{0, Event::NoTuner}, {999, Event::Due, kNone}, {1000, Event::Due, kStart},
      {1000, Event::NoTuner}, {3000, Event::Due, kStart}, {3000, Event::NoTuner},
      {7000, Event::Due, kStart}, {7000, Event::NoTuner}, {15000, Event::Due, kStart},
      {15000, Event::NoTuner}, {31000, Event::Due, kStart}, {31000, Event::NoTuner},
      {60999, Event::Due, kNone}, {61000, Event::Due, kStart}, {61000, Event::NoTuner},
      {91000, Event::Due, kStart}}},
    {"a device change while waiting tries soon and starts the back-off afresh",
     {{0, Event::NoTuner}, {1000, Event::Due, kStart}, {1000, Event::NoTuner},
      {1500, Event::DeviceChanged}, {2000, Event::Due, kStart}, {2000, Event::NoTuner},
      {2999, Event::Due, kNone}, {3000, Event::Due, kStart}}},
    {"a retry due before the notices settle is not put off",
     {{0, Event::NoTuner}, {800, Event::DeviceChanged}, {1000, Event::Due, kStart},
      {1000, Event::Started}, {2000, Event::Due, kNone}}},
    {"found again: back to restarting on notices",
     {{0, Event::NoTuner}, {1000, Event::Due, kStart}, {1000, Event::Started},
      {5000, Event::DeviceChanged}, {5500, Event::Due, kRestart}}},
    {"paused or failed: nothing is tried",
     {{0, Event::Started}, {10, Event::Stopped}, {100, Event::DeviceChanged},
      {200, Event::Resumed}, {60000, Event::Due, kNone}}},
    {"pausing drops a pending retry",
     {{0, Event::NoTuner}, {500, Event::Stopped}, {60000, Event::Due, kNone}}},
    {"before any start nothing is tried",
     {{0, Event::DeviceChanged}, {60000, Event::Due, kNone}}},
};

TEST(TunerRecoveryTest, Cases)
{
    for (const Case& c : kCases)
        Play(c, 100000);
}

TEST(TunerRecoveryTest, CasesAcrossTheTickCountWrap)
{
    for (const Case& c : kCases)
        Play(c, 0xFFFFFFFFu - 1500);
}

TEST(TunerRecoveryTest, WaitTellsTheTimerWhenToComeBack)
{
    TunerRecovery recovery;
    EXPECT_EQ(recovery.WaitMs(0), INFINITE);
    recovery.Started();
    EXPECT_EQ(recovery.WaitMs(0), INFINITE);
    recovery.DeviceChanged(1000);
    EXPECT_EQ(recovery.WaitMs(1100), TunerRecovery::kSettleMs - 100);
    EXPECT_EQ(recovery.WaitMs(1700), 0u); // overdue
    EXPECT_EQ(recovery.Due(1700), Attempt::Restart);
    EXPECT_EQ(recovery.WaitMs(1700), INFINITE); // until the outcome is known
    recovery.NoTuner(1710);
    EXPECT_TRUE(recovery.waiting());
    EXPECT_EQ(recovery.WaitMs(1710), TunerRecovery::kFirstRetryMs);
}

} // namespace
