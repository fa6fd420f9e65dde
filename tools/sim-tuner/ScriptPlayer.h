#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "SimScript.h"
#include "TunerState.h"

namespace simtuner {

// Plays a key-press script into a tuner's frames on its own thread, keeping
// the script's timing. A stop cuts the current delay short; a frame the
// tuner refuses (full, or unplugged) ends the play, and Outcome says which
// and why.
class ScriptPlayer {
public:
    explicit ScriptPlayer(std::shared_ptr<TunerState> tuner);
    ~ScriptPlayer(); // stops
    ScriptPlayer(const ScriptPlayer&) = delete;
    ScriptPlayer& operator=(const ScriptPlayer&) = delete;

    void Play(std::vector<Press> presses); // stops a play still running first
    void Stop();
    void Wait(); // until the play has ended
    bool Done() const;

    // Ok, or the tuner's answer to the press that ended the play early;
    // *press is its index in the script.
    TunerState::Result Outcome(size_t* press = nullptr) const;

private:
    void Run(const std::vector<Press>& presses);

    std::shared_ptr<TunerState> tuner_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    bool done_ = true;
    TunerState::Result outcome_ = TunerState::Result::Ok;
    size_t failedPress_ = 0;
    std::thread thread_;
};

} // namespace simtuner
