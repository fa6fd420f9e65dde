#include <gtest/gtest.h>

#include "AddressFilter.h"
#include "NetworkSettings.h"

namespace {

NetworkValues V(const char* listen = "", const char* allowFrom = "", const char* remote = "",
                const char* simulate = "", const char* unknown = nullptr)
{
    NetworkValues values;
    values.listen = listen;
    values.allowFrom = allowFrom;
    values.remoteName = remote;
    values.allowSimulate = simulate;
    if (unknown)
        values.unknown.push_back(unknown);
    return values;
}

struct SettingsCase {
    NetworkValues values;
    bool listen;
    const char* endpoint; // address:port when listening
    const char* remote;
    bool simulate;
    const char* error; // a part of the only error; null for none
};

TEST(NetworkSettings, ValidatesEachLineAndFallsBackSafely)
{
    const SettingsCase cases[] = {
        {V(), false, "", "Halyard", false, nullptr}, // off by default
        {V("off", "", "", ""), false, "", "Halyard", false, nullptr},
        {V("127.0.0.1:8765", "", "", ""), true, "127.0.0.1:8765", "Halyard", false, nullptr},
        {V(" 127.0.0.1:8765 ", "", "QBOX", "1"), true, "127.0.0.1:8765", "QBOX", true, nullptr},
        // Another address than loopback needs AllowFrom=.
        {V("0.0.0.0:8765", "", "", ""), false, "", "Halyard", false, "needs AllowFrom="},
        {V("192.168.1.5:8765", "", "", ""), false, "", "Halyard", false, "is refused"},
        {V("0.0.0.0:8765", "192.168.1.0/24", "", ""), true, "0.0.0.0:8765", "Halyard", false,
         nullptr},
        // A bad AllowFrom= keeps a network listener off, not loopback's.
        {V("0.0.0.0:8765", "192.168.1.0/33", "", ""), false, "", "Halyard", false,
         "192.168.1.0/33"},
        {V("127.0.0.1:8765", "everyone", "", ""), true, "127.0.0.1:8765", "Halyard", false,
         "this PC only"},
        {V("localhost:8765", "", "", ""), false, "", "Halyard", false, "IPv4 address and a port"},
        {V("127.0.0.1", "", "", ""), false, "", "Halyard", false, "IPv4 address and a port"},
        {V("127.0.0.1:0", "", "", ""), false, "", "Halyard", false, "IPv4 address and a port"},
        {V("127.0.0.1:65536", "", "", ""), false, "", "Halyard", false, "IPv4 address"},
        {V("127.0.0.1:+80", "", "", ""), false, "", "Halyard", false, "IPv4 address"},
        {V("127.0.0.1:8765", "", "My Remote", ""), true, "127.0.0.1:8765", "Halyard", false,
         "one word"},
        {V("127.0.0.1:8765", "", "", "yes"), true, "127.0.0.1:8765", "Halyard", false,
         "0 (off) or 1 (on)"},
        // A misspelt Listen= would leave the server off without a word.
        {V("", "", "", "", "Listn"), false, "", "Halyard", false, "unknown option 'Listn'"},
    };
    for (const SettingsCase& c : cases) {
        SCOPED_TRACE(c.values.listen + " / " + c.values.allowFrom + " / " + c.values.remoteName);
        NetworkSettings s = ParseNetworkSettings(c.values);
        EXPECT_EQ(c.listen, s.listen);
        if (c.listen) {
            EXPECT_EQ(c.endpoint, FormatIpv4(s.address) + ":" + std::to_string(s.port));
        }
        EXPECT_EQ(c.remote, s.remoteName);
        EXPECT_EQ(c.simulate, s.allowSimulate);
        if (!c.error) {
            EXPECT_TRUE(s.errors.empty()) << (s.errors.empty() ? "" : s.errors[0]);
        } else {
            ASSERT_EQ(1u, s.errors.size());
            EXPECT_NE(std::string::npos, s.errors[0].find(c.error)) << s.errors[0];
        }
    }
}

TEST(NetworkSettings, ReportSaysWhatListensAndForWhom)
{
    EXPECT_NE(std::string::npos,
              NetworkReport(ParseNetworkSettings({})).find("nothing listens"));
    std::string on = NetworkReport(
        ParseNetworkSettings(V("0.0.0.0:9000", "192.168.1.7/24, 10.0.0.5", "tv", "1")));
    for (const char* part : {"0.0.0.0:9000 as remote tv", "192.168.1.0/24, 10.0.0.5",
                             "SIMULATE is accepted"})
        EXPECT_NE(std::string::npos, on.find(part)) << on;
    std::string refused = NetworkReport(ParseNetworkSettings(V("0.0.0.0:9000")));
    EXPECT_NE(std::string::npos, refused.find("nothing listens")) << refused;
    EXPECT_NE(std::string::npos, refused.find("[Network] Listen=0.0.0.0:9000 is refused"))
        << refused;
}

TEST(AddressFilter, AllowsThisPcAndTheListedNetworksOnly)
{
    struct Case {
        const char* list;
        bool parses;
        const char* address;
        bool allowed;
    };
    const Case cases[] = {
        {"", true, "127.0.0.1", true},
        {"", true, "127.0.0.2", false}, // the rest of loopback stands for other computers
        {"", true, "192.168.1.5", false},
        {"192.168.1.0/24", true, "192.168.1.200", true},
        {"192.168.1.0/24", true, "192.168.2.1", false},
        {"192.168.1.77/24", true, "192.168.1.1", true}, // host bits ignored
        {"10.0.0.5, 192.168.1.0/24", true, "10.0.0.5", true},
        {"10.0.0.5,192.168.1.0/24", true, "10.0.0.6", false},
        {"0.0.0.0/0", true, "8.8.8.8", true},
        {"10.1.2.3/32", true, "10.1.2.3", true},
        {"10.1.2.3/33", false, "10.1.2.3", false},
        {"10.1.2/24", false, "10.1.2.3", false},
        {"10.1.2.256", false, "10.1.2.3", false},
        {"010.1.2.3", true, "10.1.2.3", true}, // decimal, never octal
        {"10.1.2.3/", false, "10.1.2.3", false},
        {"10.1.2.3/x", false, "10.1.2.3", false},
        {"::1", false, "127.0.0.1", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.list) + " for " + c.address);
        AddressFilter filter;
        std::string error;
        EXPECT_EQ(c.parses, filter.Parse(c.list, &error));
        uint32_t address = 0;
        ASSERT_TRUE(ParseIpv4(c.address, &address));
        EXPECT_EQ(c.allowed, filter.Allows(address));
    }
}

TEST(AddressFilter, ParsesStrictDottedQuads)
{
    uint32_t address = 0;
    EXPECT_TRUE(ParseIpv4("192.168.001.002", &address));
    EXPECT_EQ("192.168.1.2", FormatIpv4(address));
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "1.2.3.4 ", "a.b.c.d", "1..2.3", "1.2.3.1000",
                            "-1.2.3.4"})
        EXPECT_FALSE(ParseIpv4(bad, &address)) << bad;
}

} // namespace
