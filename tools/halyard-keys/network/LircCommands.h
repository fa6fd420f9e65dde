#pragma once

#include <functional>
#include <string>

// The commands a client may send, answered as lircd answers them:
//   BEGIN\n<command>\nSUCCESS|ERROR\n[DATA\n<n>\n<n lines>]END\n
// VERSION, LIST and LIST <remote> [<button>] are answered; SIMULATE only
// where allowed; anything else, SEND_ONCE included (there is no
// transmitter), is an ERROR that says why. Nothing here acts on the key map,
// the settings or the system: the worst a client can have is a broadcast of
// a line it wrote, and only with SIMULATE allowed.
struct LircCommandContext {
    std::string remote;
    std::function<std::string(unsigned code)> nameOf; // "" for a key without a name
    unsigned maskCode = 0;
    bool allowSimulate = false;
    bool fromLoopback = false;
};

struct LircCommandResult {
    std::string reply;     // to the client that asked
    std::string broadcast; // an event line for every client; empty for none
};

LircCommandResult HandleLircCommand(const std::string& line, const LircCommandContext& context);

// Sent to every client when the settings are read again, as lircd does on
// SIGHUP: names and the remote may have changed.
std::string LircSighupBlock();
