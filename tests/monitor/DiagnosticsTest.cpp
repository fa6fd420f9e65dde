#include <gtest/gtest.h>

#include <string>

#include "TestLogSink.h"
#include "TraceCapture.h"
#include "diag/DebugTrace.h"
#include "diag/LogMessage.h"

TEST(LogMessage, WithoutSinkDropsEveryLevel)
{
    ASSERT_EQ(nullptr, logSink) << "the library must never install a sink itself";
    for (unsigned int level : {0u, 2u, 3u, 4u, 5u, 0xFFFFFFFFu})
        EXPECT_EQ(0, LogMessage(level, "message %u\n", level)) << "level " << level;
}

TEST(LogMessage, WritesLevelsUpToTheSinksLevel)
{
    TestLogSink sink(4);
    ScopedLogSink installed(&sink);

    EXPECT_EQ(1, LogMessage(2, "two %d\n", 2));
    EXPECT_EQ(1, LogMessage(3, "three\n"));
    EXPECT_EQ(1, LogMessage(4, "\tRC Code: 0x%08X\n", 0x1Au));
    EXPECT_EQ(0, LogMessage(5, "five\n"));

    auto written = sink.Written();
    ASSERT_EQ(3u, written.size());
    EXPECT_EQ(2u, written[0].first);
    EXPECT_EQ("two 2\n", written[0].second);
    EXPECT_EQ(3u, written[1].first);
    EXPECT_EQ("\tRC Code: 0x0000001A\n", written[2].second);
}

TEST(LogMessage, FailingGetLevelWritesNothing)
{
    TestLogSink sink(0xFFFFFFFF, E_FAIL);
    ScopedLogSink installed(&sink);

    EXPECT_EQ(0, LogMessage(0, "zero\n"));
    EXPECT_EQ(0, LogMessage(2, "two\n"));
    EXPECT_TRUE(sink.Written().empty());
}

TEST(LogMessage, CutsLongMessagesTo4095Characters)
{
    TestLogSink sink(5);
    ScopedLogSink installed(&sink);
    std::string longText(5000, 'x');

    EXPECT_EQ(1, LogMessage(5, "%s", longText.c_str()));

    auto written = sink.Written();
    ASSERT_EQ(1u, written.size());
    EXPECT_EQ(std::string(4095, 'x'), written[0].second);
}

TEST(DebugTrace, PrintsFrameBytesWithoutLeadingZeros)
{
    TraceCapture capture;
    DebugTrace("QBox remote code:0x%X%X%X%X!\n", 0x40u, 0xBFu, 0x0Au, 0xF5u);

    auto lines = capture.Lines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("QBox remote code:0x40BFAF5!\n", lines[0]);
}

TEST(DebugTrace, CutsLongLinesTo1023Characters)
{
    TraceCapture capture;
    std::string longText(3000, 'y');
    DebugTrace("%s", longText.c_str());

    auto lines = capture.Lines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(std::string(1023, 'y'), lines[0]);
}
