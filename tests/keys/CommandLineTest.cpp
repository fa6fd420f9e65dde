#include <gtest/gtest.h>

#include <vector>

#include "CommandLine.h"

namespace {

bool Parse(std::vector<const char*> args, CommandLine* line, std::string* error)
{
    args.insert(args.begin(), "halyard-keys");
    return ParseCommandLine(static_cast<int>(args.size()), const_cast<char**>(args.data()), line,
                            error);
}

TEST(CommandLineTest, IniAndCheck)
{
    CommandLine line;
    std::string error;
    ASSERT_TRUE(Parse({}, &line, &error));
    EXPECT_FALSE(line.check);
    EXPECT_EQ(line.iniPath, "");
    ASSERT_TRUE(Parse({"--ini", "a.ini"}, &line, &error));
    EXPECT_EQ(line.iniPath, "a.ini");
    ASSERT_TRUE(Parse({"--check"}, &line, &error));
    EXPECT_TRUE(line.check);
    EXPECT_EQ(line.iniPath, "");
    ASSERT_TRUE(Parse({"--check", "b.ini"}, &line, &error));
    EXPECT_EQ(line.iniPath, "b.ini");
    ASSERT_TRUE(Parse({"--check", "--ini", "c.ini"}, &line, &error));
    EXPECT_TRUE(line.check);
    EXPECT_EQ(line.iniPath, "c.ini");
}

TEST(CommandLineTest, DialogsToOpen)
{
    CommandLine line;
    std::string error;
    ASSERT_TRUE(Parse({"--setup", "--ini", "a.ini"}, &line, &error));
    EXPECT_TRUE(line.setup);
    EXPECT_FALSE(line.mapKey);
    EXPECT_EQ(line.iniPath, "a.ini");
    ASSERT_TRUE(Parse({"--map-key"}, &line, &error));
    EXPECT_TRUE(line.mapKey);
    EXPECT_FALSE(line.setup);
}

TEST(CommandLineTest, Mistakes)
{
    const std::vector<std::vector<const char*>> bad = {
        {"--ini"}, {"--ini", "--check"}, {"--ini", "a", "--ini", "b"}, {"--check", "a", "--ini", "b"},
        {"--check", "--check"}, {"--frobnicate"}, {"stray.ini"}, {"--check", "a", "b"},
        {"--setup", "--map-key"}, {"--check", "--setup"},
    };
    for (const auto& args : bad) {
        CommandLine line;
        std::string error;
        EXPECT_FALSE(Parse(args, &line, &error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
