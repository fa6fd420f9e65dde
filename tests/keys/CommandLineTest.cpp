#include <gtest/gtest.h>

#include <vector>

#include "AutoStart.h"
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

TEST(CommandLineTest, Mistakes)
{
    const std::vector<std::vector<const char*>> bad = {
        {"--ini"}, {"--ini", "--check"}, {"--ini", "a", "--ini", "b"}, {"--check", "a", "--ini", "b"},
        {"--check", "--check"}, {"--frobnicate"}, {"stray.ini"}, {"--check", "a", "b"},
    };
    for (const auto& args : bad) {
        CommandLine line;
        std::string error;
        EXPECT_FALSE(Parse(args, &line, &error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

// The per-user Run entry, under a name of the test's own.
TEST(AutoStartTest, OnOffAndOnlyForThisCommand)
{
    const std::string command =
        AutoStart::CommandFor("C:\\Program Files\\Halyard\\halyard-keys.exe", "D:\\my.ini", false);
    EXPECT_EQ(command, "\"C:\\Program Files\\Halyard\\halyard-keys.exe\" --ini \"D:\\my.ini\"");
    EXPECT_EQ(AutoStart::CommandFor("C:\\h\\halyard-keys.exe", "C:\\h\\halyard.ini", true),
              "\"C:\\h\\halyard-keys.exe\"");

    AutoStart entry("Halyard keys test", command);
    AutoStart otherCopy("Halyard keys test", "\"D:\\other\\halyard-keys.exe\"");
    std::string error;
    ASSERT_TRUE(entry.Set(false, &error)) << error;
    EXPECT_FALSE(entry.IsOn());
    ASSERT_TRUE(entry.Set(true, &error)) << error;
    EXPECT_TRUE(entry.IsOn());
    EXPECT_FALSE(otherCopy.IsOn());
    ASSERT_TRUE(entry.Set(false, &error)) << error;
    EXPECT_FALSE(entry.IsOn());
    EXPECT_TRUE(entry.Set(false, &error)); // already off
}

} // namespace
