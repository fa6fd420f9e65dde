#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>

#include "ForegroundRights.h"
#include "PointerMotion.h"
#include "PointerSpeed.h"

namespace {

using namespace pointer_speed;

TEST(PointerTest, SlowEnoughForASmallButtonAndAcrossAScreenInAboutTwoSeconds)
{
    // The first tenth of a second: a few pixels, to hit a 16-pixel button.
    EXPECT_LT(DistanceAt(100), 8.0);
    double ms = 0;
    while (DistanceAt(ms) < 1920)
        ms += 10;
    EXPECT_GE(ms, 1500);
    EXPECT_LE(ms, 2500);
    // Faster the longer it is held, up to the top speed, and never back.
    double before = 0;
    for (double t = 0; t < 4000; t += 10) {
        EXPECT_GE(SpeedAt(t), before) << t;
        before = SpeedAt(t);
        EXPECT_NEAR(DistanceAt(t + 10) - DistanceAt(t), 10 * SpeedAt(t + 5), 0.05) << t;
    }
    EXPECT_EQ(SpeedAt(4000), kTopPxPerMs);
}

// The moves as the cursor would get them, counted from the motion's thread.
class CountingOutput : public PointerOutput {
public:
    std::atomic<int> moves{0}, x{0}, y{0};
    void MoveBy(int dx, int dy) override
    {
        moves++;
        x += dx;
        y += dy;
    }
};

TEST(PointerTest, TheMotionMovesTheWayItWasToldAndNotAfterItStops)
{
    CountingOutput output;
    PointerMotion motion(&output);
    EXPECT_FALSE(motion.moving());
    motion.Start(-1, 1);
    EXPECT_TRUE(motion.moving());
    // Until it has gone some way; then it stops, and stays stopped.
    for (int i = 0; i < 500 && output.x > -20; ++i)
        Sleep(10);
    motion.Stop();
    EXPECT_FALSE(motion.moving());
    int moves = output.moves, x = output.x, y = output.y;
    EXPECT_LE(x, -20);
    EXPECT_EQ(x, -y); // a diagonal: as far down as left
    Sleep(100);
    EXPECT_EQ(output.moves, moves) << "moved on after Stop";
    // Again, the other way, from the slow start; the destructor ends it.
    motion.Start(1, 0);
    for (int i = 0; i < 500 && output.x <= x; ++i)
        Sleep(10);
    EXPECT_GT(output.x, x);
    EXPECT_EQ(output.y, y);
}

TEST(PointerTest, InputReachesOnlyProgramsWithNoMoreRights)
{
    ProcessRights limited{true, TokenElevationTypeLimited, SECURITY_MANDATORY_MEDIUM_RID};
    ProcessRights full{true, TokenElevationTypeFull, SECURITY_MANDATORY_HIGH_RID};
    ProcessRights plain{true, TokenElevationTypeDefault, SECURITY_MANDATORY_MEDIUM_RID};
    // As Wine labels them: both High, told apart by elevation alone.
    ProcessRights wineLimited{true, TokenElevationTypeLimited, SECURITY_MANDATORY_HIGH_RID};
    ProcessRights wineFull{true, TokenElevationTypeFull, SECURITY_MANDATORY_HIGH_RID};
    EXPECT_TRUE(Outranks(full, limited));
    EXPECT_TRUE(Outranks(full, plain));
    EXPECT_TRUE(Outranks(wineFull, wineLimited));
    EXPECT_FALSE(Outranks(limited, full));
    EXPECT_FALSE(Outranks(full, full)); // halyard-keys run as administrator too
    EXPECT_FALSE(Outranks(plain, limited));
    EXPECT_FALSE(Outranks(wineLimited, wineLimited));
    // Rights unknown: sent as ever.
    EXPECT_FALSE(Outranks(ProcessRights(), limited));
    EXPECT_FALSE(Outranks(full, ProcessRights()));
    // This process's own are known: the check works at all.
    EXPECT_TRUE(RightsOfProcess(GetCurrentProcess()).known);
}

} // namespace
