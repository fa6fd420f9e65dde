#include "ScriptPlayer.h"

namespace simtuner {

ScriptPlayer::ScriptPlayer(std::shared_ptr<TunerState> tuner) : tuner_(std::move(tuner))
{
}

ScriptPlayer::~ScriptPlayer()
{
    Stop();
}

void ScriptPlayer::Play(std::vector<Press> presses)
{
    Stop();
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = false;
    done_ = false;
    outcome_ = TunerState::Result::Ok;
    thread_ = std::thread([this, presses = std::move(presses)] { Run(presses); });
}

void ScriptPlayer::Run(const std::vector<Press>& presses)
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (size_t i = 0; i < presses.size(); ++i) {
        const Press& press = presses[i];
        if (wake_.wait_for(lock, std::chrono::milliseconds(press.delayMs), [this] { return stop_; }))
            break;
        TunerState::Result result = tuner_->Push(MakeFrame(press.customCode, press.key, press.fourth));
        if (result != TunerState::Result::Ok) {
            outcome_ = result;
            failedPress_ = i;
            break;
        }
    }
    done_ = true;
}

void ScriptPlayer::Stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void ScriptPlayer::Wait()
{
    if (thread_.joinable())
        thread_.join();
}

bool ScriptPlayer::Done() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return done_;
}

TunerState::Result ScriptPlayer::Outcome(size_t* press) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (press)
        *press = failedPress_;
    return outcome_;
}

} // namespace simtuner
