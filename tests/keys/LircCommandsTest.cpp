#include <gtest/gtest.h>

#include "LircCommands.h"

namespace {

LircCommandContext Context(bool simulate = false, bool loopback = true)
{
    LircCommandContext context;
    context.remote = "Halyard";
    context.nameOf = [](unsigned code) {
        return code == 0x12 ? std::string("KEY_OK") : code == 0x20 ? "KEY_UP" : "";
    };
    context.maskCode = 0x40BF;
    context.allowSimulate = simulate;
    context.fromLoopback = loopback;
    return context;
}

// The replies as lircd 0.10 writes them, block for block.
TEST(LircCommands, RepliesAsLircdDoes)
{
    struct Case {
        const char* line;
        const char* reply;
    };
    const Case cases[] = {
        {"VERSION", "BEGIN\nVERSION\nSUCCESS\nDATA\n1\nhalyard-keys-"},
        {"LIST", "BEGIN\nLIST\nSUCCESS\nDATA\n1\nHalyard\nEND\n"},
        {"list", "BEGIN\nlist\nSUCCESS\nDATA\n1\nHalyard\nEND\n"},
        {"LIST Halyard",
         "BEGIN\nLIST Halyard\nSUCCESS\nDATA\n2\n0000000040bf12ed KEY_OK\n0000000040bf20df "
         "KEY_UP\nEND\n"},
        {"LIST Halyard KEY_UP",
         "BEGIN\nLIST Halyard KEY_UP\nSUCCESS\nDATA\n1\n0000000040bf20df KEY_UP\nEND\n"},
        {"LIST Halyard KEY_NONE",
         "BEGIN\nLIST Halyard KEY_NONE\nERROR\nDATA\n1\nunknown command: \"KEY_NONE\"\nEND\n"},
        {"LIST nope", "BEGIN\nLIST nope\nERROR\nDATA\n1\nunknown remote: \"nope\"\nEND\n"},
        {"FOO bar", "BEGIN\nFOO bar\nERROR\nDATA\n1\nunknown directive: \"FOO\"\nEND\n"},
        {"", "BEGIN\n\nERROR\nDATA\n1\nbad send packet\nEND\n"},
        {"SEND_ONCE Halyard KEY_OK", "BEGIN\nSEND_ONCE Halyard KEY_OK\nERROR\nDATA\n1\nhalyard-keys has no transmitter"},
        {"SIMULATE 0000000040bf12ed 00 KEY_OK Halyard",
         "BEGIN\nSIMULATE 0000000040bf12ed 00 KEY_OK Halyard\nERROR\nDATA\n1\nSIMULATE command is disabled\nEND\n"},
    };
    for (const Case& c : cases) {
        LircCommandResult result = HandleLircCommand(c.line, Context());
        EXPECT_EQ(0u, result.reply.find(c.reply)) << c.line << "\n" << result.reply;
        EXPECT_EQ("END\n", result.reply.substr(result.reply.size() - 4)) << c.line;
        EXPECT_TRUE(result.broadcast.empty()) << c.line;
    }
}

TEST(LircCommands, ListWithoutNamedKeysIsAnEmptySuccess)
{
    LircCommandContext context = Context();
    context.nameOf = nullptr;
    EXPECT_EQ("BEGIN\nLIST Halyard\nSUCCESS\nEND\n",
              HandleLircCommand("LIST Halyard", context).reply);
}

TEST(LircCommands, SimulateOnlyWhereAllowedAndFromThisPc)
{
    const std::string line = "SIMULATE 0000000040bf12ed 0a KEY_OK Halyard";
    LircCommandResult allowed = HandleLircCommand(line, Context(true, true));
    EXPECT_EQ("BEGIN\n" + line + "\nSUCCESS\nEND\n", allowed.reply);
    EXPECT_EQ("0000000040bf12ed 0a KEY_OK Halyard\n", allowed.broadcast);

    LircCommandResult remote = HandleLircCommand(line, Context(true, false));
    EXPECT_NE(std::string::npos, remote.reply.find("ERROR\nDATA\n1\nSIMULATE is accepted from this PC only"));
    EXPECT_TRUE(remote.broadcast.empty());

    for (const char* bad : {"SIMULATE 40bf12ed 00 KEY_OK Halyard", "SIMULATE 0000000040bf12ed 00 KEY_OK",
                            "SIMULATE 000000004xbf12ed 00 KEY_OK Halyard",
                            "SIMULATE 0000000040bf12ed zz KEY_OK Halyard",
                            "SIMULATE 0000000040bf12ed 00 KEY_OK Halyard extra"}) {
        LircCommandResult result = HandleLircCommand(bad, Context(true, true));
        EXPECT_NE(std::string::npos, result.reply.find("\nERROR\n")) << bad;
        EXPECT_TRUE(result.broadcast.empty()) << bad;
    }
}

} // namespace
