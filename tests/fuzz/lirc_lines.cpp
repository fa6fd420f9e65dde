// The LIRC server's side of a client: the bytes a client sends, in pieces
// of any size, to lines, the commands they are, and the replies queued and
// sent through a socket that takes what it will.

#include <stddef.h>
#include <stdint.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "LircClient.h"
#include "LircCommands.h"
#include "LircEvent.h"

namespace {

struct Received {
    std::vector<std::string> lines;
    LircClient::Verdict verdict = LircClient::Verdict::Ok;
};

// xorshift32: piece sizes and send results from one number of the input.
struct Dice {
    uint32_t state;
    uint32_t Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
};

// The stream in pieces: all of it at once (piece 0), a byte at a time (1),
// or sizes the dice give.
Received Receive(const std::string& stream, unsigned pieces, uint32_t seed)
{
    LircClient client;
    Received got;
    Dice dice{seed | 1};
    for (size_t at = 0; at < stream.size();) {
        size_t size = pieces == 0 ? stream.size() : pieces == 1 ? 1 : 1 + dice.Next() % 300;
        size = std::min(size, stream.size() - at);
        got.verdict = client.Receive(stream.data() + at, size, 5000, &got.lines);
        Require(client.pending() <= LircClient::kMaxLineBytes, "a partial line within the limit");
        at += size;
        if (got.verdict != LircClient::Verdict::Ok)
            break; // the server closes the connection
    }
    for (const std::string& line : got.lines)
        Require(line.size() <= LircClient::kMaxLineBytes && line.find('\n') == std::string::npos,
                "a line within the limit, without its end");
    return got;
}

std::vector<std::string> LinesOf(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    Require(start == text.size(), "a reply ends with a line end", text);
    return lines;
}

// BEGIN, the command, SUCCESS or ERROR, [DATA, n, n lines,] END.
void CheckReply(const std::string& command, const std::string& reply)
{
    std::vector<std::string> lines = LinesOf(reply);
    Require(lines.size() >= 4 && lines[0] == "BEGIN" && lines[1] == command &&
                (lines[2] == "SUCCESS" || lines[2] == "ERROR") && lines.back() == "END",
            "a reply is BEGIN, the command, SUCCESS or ERROR ... END", reply);
    if (lines.size() == 4)
        return;
    Require(lines[3] == "DATA" && lines.size() >= 6, "a reply's data starts with DATA", reply);
    const std::string& count = lines[4];
    Require(!count.empty() && count.find_first_not_of("0123456789") == std::string::npos &&
                count.size() < 6 && std::stoul(count) + 6 == lines.size(),
            "DATA's count is its lines'", reply);
}

void CheckBroadcast(const std::string& event)
{
    if (event.empty())
        return;
    std::vector<std::string> lines = LinesOf(event);
    Require(lines.size() == 1, "a broadcast is one line", event);
    size_t fields = 0;
    for (size_t at = 0; (at = lines[0].find_first_not_of(' ', at)) != std::string::npos;
         at = lines[0].find(' ', at))
        ++fields;
    Require(fields == 4, "a broadcast is code, repeat, button and remote", event);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    uint32_t seed = input.ConsumeIntegral<uint32_t>();
    uint8_t flags = input.ConsumeIntegral<uint8_t>();
    std::string stream = input.ConsumeRemainingBytesAsString();

    Received whole = Receive(stream, 0, seed);
    for (unsigned pieces : {1u, 2u}) {
        Received split = Receive(stream, pieces, seed);
        Require(split.lines == whole.lines && split.verdict == whole.verdict,
                "the stream's lines do not depend on its pieces");
    }
    // Every line, complete or not, counts towards the flood limit: more
    // than kMaxLinesPerSecond in one second close the connection.
    Require(whole.lines.size() <= LircClient::kMaxLinesPerSecond, "the flood limit holds");

    // A key's line as the clients read it, for MaskCode as the first line
    // gives it: code, repeat, button and remote, and the code of 16 digits.
    std::string mask = stream.substr(0, stream.find('\n'));
    unsigned key = seed & 0xFF, repeat = seed >> 8;
    std::string event = LircEventLine(FrameCode(ParseMaskCode(mask), key), repeat,
                                      FallbackButtonName(key), "halyard");
    CheckBroadcast(event);
    Require(event.find_first_not_of("0123456789abcdef") == 16 && event[16] == ' ',
            "a key's code is 16 hex digits", event);

    LircCommandContext context;
    context.remote = "halyard";
    context.nameOf = [](unsigned code) {
        return code == 0x12 ? std::string("KEY_OK") : code == 0x20 ? "KEY_VOLUMEUP" : "";
    };
    context.maskCode = flags & 1 ? 0x40BF : 0;
    context.allowSimulate = flags & 2;
    context.fromLoopback = flags & 4;

    // The replies through a socket that takes any part of what it is given,
    // or nothing for now: what arrives is every reply, whole and in order.
    LircClient client;
    Dice dice{seed ^ 0x9E3779B9u};
    std::string sent, posted;
    bool open = true;
    LircClient::Send send = [&](const char* bytes, int count) {
        Require(count > 0, "a send has bytes to send");
        uint32_t roll = dice.Next();
        if (roll % 4 == 0)
            return LircClient::kWouldBlock;
        int taken = 1 + static_cast<int>(roll % static_cast<uint32_t>(count));
        sent.append(bytes, static_cast<size_t>(taken));
        return taken;
    };
    for (const std::string& line : whole.lines) {
        LircCommandResult result = HandleLircCommand(line, context);
        CheckReply(line, result.reply);
        CheckBroadcast(result.broadcast);
        if (open) {
            open = client.Post(result.reply, send);
            if (open)
                posted += result.reply;
        }
        Require(client.backlog() <= LircClient::kMaxBacklogBytes, "the backlog within its limit");
        if (flags & 8)
            open = open && client.Flush(send);
    }
    for (int i = 0; open && client.backlog() && i < 100000; ++i)
        open = client.Flush(send);
    if (open) {
        Require(client.backlog() == 0, "a socket that takes bytes empties the backlog");
        Require(sent == posted, "the replies arrive whole and in order");
    }
    return 0;
}
