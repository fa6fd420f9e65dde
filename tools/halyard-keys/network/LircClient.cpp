#include "LircClient.h"

const size_t LircClient::kMaxLineBytes;
const unsigned LircClient::kMaxLinesPerSecond;
const size_t LircClient::kMaxBacklogBytes;

LircClient::Verdict LircClient::Receive(const char* data, size_t size, DWORD now,
                                        std::vector<std::string>* lines)
{
    for (size_t i = 0; i < size; ++i) {
        if (data[i] != '\n') {
            if (partial_.size() >= kMaxLineBytes)
                return Verdict::LineTooLong;
            partial_ += data[i];
            continue;
        }
        if (now - windowStart_ >= 1000) {
            windowStart_ = now;
            linesInWindow_ = 0;
        }
        if (++linesInWindow_ > kMaxLinesPerSecond)
            return Verdict::Flood;
        if (!partial_.empty() && partial_.back() == '\r')
            partial_.pop_back();
        lines->push_back(partial_);
        partial_.clear();
    }
    return Verdict::Ok;
}

bool LircClient::Post(const std::string& line, const Send& send)
{
    if (line.empty())
        return true;
    if (backlogBytes_ + line.size() > kMaxBacklogBytes)
        return false;
    queue_.push_back(line);
    backlogBytes_ += line.size();
    // Behind a backlog, the line waits for its turn (FD_WRITE).
    return queue_.size() > 1 || Flush(send);
}

bool LircClient::Flush(const Send& send)
{
    while (!queue_.empty()) {
        const std::string& front = queue_.front();
        int sent = send(front.data() + sentOfFront_, static_cast<int>(front.size() - sentOfFront_));
        if (sent == kWouldBlock)
            return true;
        if (sent < 0)
            return false;
        sentOfFront_ += static_cast<size_t>(sent);
        backlogBytes_ -= static_cast<size_t>(sent);
        if (sentOfFront_ == front.size()) {
            queue_.pop_front();
            sentOfFront_ = 0;
        }
    }
    return true;
}
