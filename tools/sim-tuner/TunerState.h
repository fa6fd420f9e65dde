#pragma once

// A simulated tuner's state: the frames waiting for its driver, oldest
// first, each read once; a key held down; and the device itself, plugged in
// or not, with the generation its interfaces were bound in. One process's
// own state backs the in-process Simulation; the session's shared state (a
// named file mapping and mutex in Local\) backs the simulation build of
// Halyard.dll, halyard-sim and halyard-monitor --simulate, so that every
// process of the user's session meets one tuner.

#include <windows.h>

#include <stdint.h>

#include <array>
#include <memory>
#include <string>

#include "StateMapping.h"
#include "TunerStateLayout.h"

namespace simtuner {

// Bytes 30 to 33 of the property buffer: custom code high, low, key, fourth.
using Frame = std::array<BYTE, 4>;
Frame MakeFrame(WORD customCode, BYTE key, BYTE fourth = 0);

class TunerState {
public:
    static constexpr uint32_t kCapacity = layout::kCapacity;

    enum class Result {
        Ok,
        Empty,     // Read: no frame waiting and no key held
        Full,      // Push: kCapacity frames waiting, the frame was not queued
        Busy,      // another process held the lock too long
        Unplugged, // Push, Hold, Bind: the tuner is not plugged in
        Stale,     // Read, Alive: the device of that generation is gone
    };

    using OpenStatus = StateMapping::OpenStatus;

    // A tuner for this process alone, plugged in.
    static std::shared_ptr<TunerState> Local();

    // The session's tuner, made when create is true and no process has it
    // open; it is then plugged in unless it was last left unplugged
    // (UnpluggedMark.h). name is for tests that want a tuner of their own.
    // On failure *error holds a one-line reason.
    static OpenStatus OpenShared(bool create, std::shared_ptr<TunerState>* tuner,
                                 std::string* error, const std::wstring& name = std::wstring());

    ~TunerState();
    TunerState(const TunerState&) = delete;
    TunerState& operator=(const TunerState&) = delete;

    // The remote's side.
    Result Push(const Frame& frame);
    // Every Read that finds no frame waiting gets frame for the next ms
    // milliseconds, as a driver reports a key held down; a later Hold
    // replaces it. *until identifies this hold for Release.
    Result Hold(const Frame& frame, DWORD ms, uint64_t* until = nullptr);
    // Ends the hold that *until identified, if it is still the one held.
    Result Release(uint64_t until);
    Result Clear(uint32_t* cleared = nullptr); // also ends a held key

    // The driver's side. Bind gives the generation an interface belongs to;
    // Read and Alive answer Stale for any other, and while unplugged.
    Result Bind(uint32_t* generation);
    Result Alive(uint32_t generation);
    // Takes the oldest frame, or the held key's, leaving *frame alone when
    // there is neither; a live driver's read, so it notes the time even then.
    Result Read(uint32_t generation, Frame* frame);

    // The device. Unplug drops the frames waiting and the held key, as they
    // were in the removed device's buffer, and makes every interface stale
    // for good. *changed is false when the tuner already was so.
    Result Unplug(bool* changed = nullptr);
    Result Plug(bool* changed = nullptr);
    bool Plugged(); // false also when busy

    struct Status {
        uint32_t pending = 0;
        bool everRead = false;
        uint64_t msSinceRead = 0;
        bool plugged = true;
        bool held = false;
        Frame heldFrame = {};
        uint64_t heldMsLeft = 0;
    };
    Result GetStatus(Status* status);
    size_t Pending(); // 0 when busy

    // True when this handle made the shared tuner: no other process had it
    // open, so its frames go when this handle does.
    bool Created() const { return mapping_->created(); }

private:
    class Lock;
    explicit TunerState(std::unique_ptr<StateMapping> mapping);
    Result SetPlugged(bool plugged, bool* changed);

    const std::unique_ptr<StateMapping> mapping_;
    layout::Layout* const memory_;
};

} // namespace simtuner
