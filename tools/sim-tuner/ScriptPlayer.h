#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "FrameQueue.h"
#include "SimScript.h"

namespace simtuner {

// Plays a key-press script into a frame queue on its own thread, keeping the
// script's timing. A stop cuts the current delay short; a frame the queue
// refuses ends the play, and Outcome says which and why.
class ScriptPlayer {
public:
    explicit ScriptPlayer(std::shared_ptr<FrameQueue> queue);
    ~ScriptPlayer(); // stops
    ScriptPlayer(const ScriptPlayer&) = delete;
    ScriptPlayer& operator=(const ScriptPlayer&) = delete;

    void Play(std::vector<Press> presses); // stops a play still running first
    void Stop();
    void Wait(); // until the play has ended
    bool Done() const;

    // Ok, or the queue's answer to the press that ended the play early;
    // *press is its index in the script.
    FrameQueue::Result Outcome(size_t* press = nullptr) const;

private:
    void Run(const std::vector<Press>& presses);

    std::shared_ptr<FrameQueue> queue_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    bool done_ = true;
    FrameQueue::Result outcome_ = FrameQueue::Result::Ok;
    size_t failedPress_ = 0;
    std::thread thread_;
};

} // namespace simtuner
