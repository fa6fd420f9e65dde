#pragma once

// The frames waiting for a simulated tuner's driver, oldest first; each is
// read once. One process's own queue backs the in-process Simulation; the
// session's shared queue (a named file mapping and mutex in Local\) backs
// the simulation build of Halyard.dll, halyard-sim and halyard-monitor
// --simulate, so that every process of the user's session meets one tuner.

#include <windows.h>

#include <stdint.h>

#include <array>
#include <memory>
#include <string>

#include "FrameQueueLayout.h"

namespace simtuner {

// Bytes 30 to 33 of the property buffer: custom code high, low, key, fourth.
using Frame = std::array<BYTE, 4>;
Frame MakeFrame(WORD customCode, BYTE key, BYTE fourth = 0);

class FrameQueue {
public:
    static constexpr uint32_t kCapacity = layout::kCapacity;

    enum class Result {
        Ok,
        Empty, // Pop: no frame waiting
        Full,  // Push: kCapacity frames waiting, the frame was not queued
        Busy,  // another process held the lock too long
    };

    enum class OpenStatus {
        Ok,
        NotFound, // create was false and no process has the queue open
        Mismatch, // another build's queue, or not a queue at all
        Failed,   // the system refused the mapping or the mutex
    };

    // A queue for this process alone.
    static std::shared_ptr<FrameQueue> Local();

    // The session's queue, made when create is true and no process has it
    // open. name is for tests that want a queue of their own. On failure
    // *error holds a one-line reason.
    static OpenStatus OpenShared(bool create, std::shared_ptr<FrameQueue>* queue,
                                 std::string* error, const std::wstring& name = std::wstring());

    ~FrameQueue();
    FrameQueue(const FrameQueue&) = delete;
    FrameQueue& operator=(const FrameQueue&) = delete;

    Result Push(const Frame& frame);
    // Takes the oldest frame, leaving *frame alone when there is none; a
    // driver's read, so it notes the time even then.
    Result Pop(Frame* frame);
    Result Clear(uint32_t* cleared = nullptr);

    struct Status {
        uint32_t pending = 0;
        bool everRead = false;
        uint64_t msSinceRead = 0;
    };
    Result GetStatus(Status* status);
    size_t Pending(); // 0 when busy

    // True when this handle made the shared queue: no other process had it
    // open, so its frames go when this handle does.
    bool Created() const { return created_; }

private:
    class Lock;
    FrameQueue(layout::Layout* memory, HANDLE mutex, HANDLE mapping, bool created);

    layout::Layout* memory_;
    HANDLE mutex_;
    HANDLE mapping_; // null for a local queue, whose memory is its own
    bool created_;
};

} // namespace simtuner
