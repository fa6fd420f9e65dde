#pragma once

#include "WinTypes.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

// One client's side of the conversation, without the socket: the lines it
// sends, cut at LF, and the lines waiting for it. A line is handed to the
// socket in one send() of its own, and only whole lines are queued, so a
// client never sees two events in one receive, as MPC-HC reads them, nor
// half a line, which makes lircd --connect drop the connection.
class LircClient {
public:
    // Past these, the client is closed: a line longer than any command,
    // more lines in a second than a person or a program has reason for,
    // and a backlog of a client that stopped reading.
    static const size_t kMaxLineBytes = 1024;
    static const unsigned kMaxLinesPerSecond = 64;
    static const size_t kMaxBacklogBytes = 64 * 1024;

    enum class Verdict { Ok, LineTooLong, Flood };
    // Bytes received at now (GetTickCount); the complete lines, without
    // their line ends, are appended to *lines.
    Verdict Receive(const char* data, size_t size, DWORD now, std::vector<std::string>* lines);
    // The bytes of a line not yet ended, never more than kMaxLineBytes.
    size_t pending() const { return partial_.size(); }

    // What sends a line: the bytes sent (possibly fewer), kWouldBlock when
    // the socket's buffer is full, or kFailed.
    static const int kWouldBlock = -1;
    static const int kFailed = -2;
    using Send = std::function<int(const char* data, int size)>;

    // Queues line and sends what can be sent now. False when the
    // connection failed or the backlog passed its limit: close it.
    bool Post(const std::string& line, const Send& send);
    // The socket can take more: sends the backlog in order. False as above.
    bool Flush(const Send& send);
    size_t backlog() const { return backlogBytes_; }

private:
    std::string partial_;
    DWORD windowStart_ = 0;
    unsigned linesInWindow_ = 0;
    std::deque<std::string> queue_;
    size_t sentOfFront_ = 0;
    size_t backlogBytes_ = 0;
};
