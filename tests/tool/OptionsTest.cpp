#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "Options.h"

namespace {

struct Parsed {
    bool ok;
    Options options;
    std::string error;
};

Parsed Parse(std::initializer_list<const char*> args)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>("halyard-monitor"));
    for (const char* arg : args)
        argv.push_back(const_cast<char*>(arg));
    Parsed parsed;
    parsed.ok = ParseOptions(static_cast<int>(argv.size()), argv.data(), &parsed.options,
                             &parsed.error);
    return parsed;
}

TEST(Options, EveryOptionInBothSpellings)
{
    Parsed a = Parse({"--ini", "a.ini", "--dll", "x\\H.dll", "--simulate", "s.keys",
                      "--duration", "2.5", "--learn"});
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(a.options.iniPath, "a.ini");
    EXPECT_EQ(a.options.dllPath, "x\\H.dll");
    EXPECT_EQ(a.options.scriptPath, "s.keys");
    EXPECT_EQ(a.options.durationMs, 2500u);
    EXPECT_TRUE(a.options.learn);
    EXPECT_FALSE(a.options.help);

    Parsed b = Parse({"--ini=b.ini", "--duration=1", "--simulate=t.keys"});
    ASSERT_TRUE(b.ok) << b.error;
    EXPECT_EQ(b.options.iniPath, "b.ini");
    EXPECT_EQ(b.options.durationMs, 1000u);
    EXPECT_EQ(b.options.scriptPath, "t.keys");

    // A value may itself look like an option or hold '='.
    Parsed c = Parse({"--ini", "--weird=name.ini"});
    ASSERT_TRUE(c.ok) << c.error;
    EXPECT_EQ(c.options.iniPath, "--weird=name.ini");

    EXPECT_TRUE(Parse({}).ok);
    EXPECT_TRUE(Parse({"-h"}).options.help);
    EXPECT_TRUE(Parse({"/?"}).options.help);
}

TEST(Options, MalformedCommandLinesAreRejectedWithAReason)
{
    struct Case {
        std::initializer_list<const char*> args;
        const char* reason;
    };
    const Case cases[] = {
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"--Learn"}, "unknown option"},
        {{"-ini", "a.ini"}, "unexpected argument '-ini'"},
        {{"extra"}, "unexpected argument 'extra'"},
        {{"--ini"}, "--ini needs a value"},
        {{"--ini="}, "--ini needs a value"},
        {{"--ini", "a", "--ini", "b"}, "--ini given twice"},
        {{"--learn", "--learn"}, "--learn given twice"},
        {{"--learn=yes"}, "takes no value"},
        {{"--duration", "soon"}, "invalid --duration 'soon'"},
    };
    for (const Case& c : cases) {
        Parsed parsed = Parse(c.args);
        EXPECT_FALSE(parsed.ok) << c.reason;
        EXPECT_NE(parsed.error.find(c.reason), std::string::npos)
            << "got \"" << parsed.error << "\", wanted \"" << c.reason << "\"";
    }
}

TEST(Options, DurationIsAPositiveNumberOfSeconds)
{
    unsigned long ms = 0;
    EXPECT_TRUE(ParseDurationSeconds("3", &ms));
    EXPECT_EQ(ms, 3000u);
    EXPECT_TRUE(ParseDurationSeconds("0.25", &ms));
    EXPECT_EQ(ms, 250u);
    EXPECT_TRUE(ParseDurationSeconds(".5", &ms));
    EXPECT_EQ(ms, 500u);
    // Rounds to whole milliseconds, but never down to "no limit".
    EXPECT_TRUE(ParseDurationSeconds("0.0001", &ms));
    EXPECT_EQ(ms, 1u);
    EXPECT_TRUE(ParseDurationSeconds("2147483", &ms));

    for (const char* bad : {"", "0", "0.0", "-1", "+1", " 1", "1 ", "1e3", "0x10", "1.2.3", ".",
                            "2147484", "99999999999999999999"})
        EXPECT_FALSE(ParseDurationSeconds(bad, &ms)) << '"' << bad << '"';
}

} // namespace
