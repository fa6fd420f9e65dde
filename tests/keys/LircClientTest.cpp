#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LircClient.h"

namespace {

std::vector<std::string> Feed(LircClient* client, const std::string& bytes, DWORD now,
                              LircClient::Verdict expected = LircClient::Verdict::Ok)
{
    std::vector<std::string> lines;
    EXPECT_EQ(expected, client->Receive(bytes.data(), bytes.size(), now, &lines));
    return lines;
}

TEST(LircClient, CutsLinesAcrossReceives)
{
    LircClient client;
    EXPECT_TRUE(Feed(&client, "VERS", 0).empty());
    EXPECT_EQ((std::vector<std::string>{"VERSION", "LIST"}), Feed(&client, "ION\r\nLIST\nLI", 0));
    EXPECT_EQ((std::vector<std::string>{"LIST", ""}), Feed(&client, "ST\n\n", 0));
}

TEST(LircClient, ClosesOnALongLineOrAFlood)
{
    LircClient longLine;
    Feed(&longLine, std::string(LircClient::kMaxLineBytes, 'x'), 0);
    Feed(&longLine, "y", 0, LircClient::Verdict::LineTooLong);

    LircClient exact; // a line of the limit itself is a line
    EXPECT_EQ(1u, Feed(&exact, std::string(LircClient::kMaxLineBytes, 'x') + "\n", 0).size());

    LircClient steady; // the limit each second, for ten seconds
    for (DWORD second = 0; second < 10; ++second)
        Feed(&steady, std::string(LircClient::kMaxLinesPerSecond, '\n'), second * 1000);

    LircClient flood;
    Feed(&flood, std::string(LircClient::kMaxLinesPerSecond, '\n'), 0);
    Feed(&flood, "\n", 999, LircClient::Verdict::Flood);
}

// A socket that takes `room` bytes, then would block; records each send.
struct FakeSocket {
    size_t room = 1 << 20;
    bool broken = false;
    std::vector<std::string> sends;
    LircClient::Send Sender()
    {
        return [this](const char* data, int size) {
            if (broken)
                return LircClient::kFailed;
            if (room == 0)
                return LircClient::kWouldBlock;
            int sent = static_cast<int>(std::min(room, static_cast<size_t>(size)));
            room -= static_cast<size_t>(sent);
            sends.push_back(std::string(data, static_cast<size_t>(sent)));
            return sent;
        };
    }
};

TEST(LircClient, SendsEachLineOnItsOwnAndKeepsTheirOrder)
{
    LircClient client;
    FakeSocket socket;
    EXPECT_TRUE(client.Post("a 00 X R\n", socket.Sender()));
    EXPECT_TRUE(client.Post("b 00 X R\n", socket.Sender()));
    EXPECT_EQ((std::vector<std::string>{"a 00 X R\n", "b 00 X R\n"}), socket.sends);

    // A full buffer: the rest of a line, then the lines behind it, in order.
    socket.sends.clear();
    socket.room = 4;
    EXPECT_TRUE(client.Post("c 00 X R\n", socket.Sender()));
    EXPECT_TRUE(client.Post("d 00 X R\n", socket.Sender()));
    EXPECT_EQ(5u + 9u, client.backlog());
    socket.room = 1 << 20;
    EXPECT_TRUE(client.Flush(socket.Sender()));
    EXPECT_EQ((std::vector<std::string>{"c 00", " X R\n", "d 00 X R\n"}), socket.sends);
    EXPECT_EQ(0u, client.backlog());

    socket.broken = true;
    EXPECT_FALSE(client.Post("e 00 X R\n", socket.Sender()));
}

TEST(LircClient, ANonReaderIsDroppedPastTheBacklogLimit)
{
    LircClient client;
    FakeSocket socket;
    socket.room = 0;
    const std::string line = "0000000040bf12ed 00 KEY_OK Halyard\n";
    size_t posted = 0;
    while (client.Post(line, socket.Sender()))
        ++posted;
    EXPECT_EQ(LircClient::kMaxBacklogBytes / line.size(), posted);
    EXPECT_LE(client.backlog(), LircClient::kMaxBacklogBytes);
}

} // namespace
