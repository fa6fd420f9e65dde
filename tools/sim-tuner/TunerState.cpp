#include "TunerState.h"

#include <string.h>

#include "UnpluggedMark.h"

namespace simtuner {

namespace {

// Never 0, which means "never" and "none" in the layout.
uint64_t Now()
{
    ULONGLONG now = GetTickCount64();
    return now ? now : 1;
}

} // namespace

Frame MakeFrame(WORD customCode, BYTE key, BYTE fourth)
{
    return Frame{static_cast<BYTE>(customCode >> 8), static_cast<BYTE>(customCode & 0xFF), key,
                 fourth};
}

// Holds the state's mutex. Any process of the session can write the shared
// memory, and one may have died halfway: indices that point outside the
// ring empty it rather than be followed.
class TunerState::Lock {
public:
    explicit Lock(TunerState* tuner) : tuner_(tuner), owned_(tuner->mapping_->Acquire())
    {
        layout::Header& header = tuner_->memory_->header;
        if (owned_ && (header.head >= layout::kCapacity || header.count > layout::kCapacity))
            header.head = header.count = 0;
    }
    ~Lock()
    {
        if (owned_)
            tuner_->mapping_->Release();
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    bool owned() const { return owned_; }
    // Ok, or why a call that needs the device cannot go on.
    Result DeviceRefusal() const
    {
        if (!owned_)
            return Result::Busy;
        return tuner_->memory_->header.plugged ? Result::Ok : Result::Unplugged;
    }

private:
    TunerState* tuner_;
    bool owned_;
};

TunerState::TunerState(std::unique_ptr<StateMapping> mapping)
    : mapping_(std::move(mapping)), memory_(mapping_->memory())
{
}

TunerState::~TunerState() = default;

std::shared_ptr<TunerState> TunerState::Local()
{
    return std::shared_ptr<TunerState>(new TunerState(StateMapping::Local()));
}

TunerState::OpenStatus TunerState::OpenShared(bool create, std::shared_ptr<TunerState>* tuner,
                                              std::string* error, const std::wstring& name)
{
    std::unique_ptr<StateMapping> mapping;
    OpenStatus status =
        StateMapping::OpenShared(create, name.empty() ? layout::kSessionTuner : name, &mapping, error);
    if (status == OpenStatus::Ok)
        tuner->reset(new TunerState(std::move(mapping)));
    return status;
}

TunerState::Result TunerState::Push(const Frame& frame)
{
    Lock lock(this);
    if (lock.DeviceRefusal() != Result::Ok)
        return lock.DeviceRefusal();
    layout::Header& header = memory_->header;
    if (header.count >= layout::kCapacity)
        return Result::Full;
    memcpy(memory_->frames[(header.head + header.count) % layout::kCapacity], frame.data(),
           frame.size());
    ++header.count;
    return Result::Ok;
}

TunerState::Result TunerState::Hold(const Frame& frame, DWORD ms, uint64_t* until)
{
    Lock lock(this);
    if (lock.DeviceRefusal() != Result::Ok)
        return lock.DeviceRefusal();
    layout::Header& header = memory_->header;
    memcpy(header.heldFrame, frame.data(), frame.size());
    header.heldUntilTick = Now() + ms;
    if (until)
        *until = header.heldUntilTick;
    return Result::Ok;
}

TunerState::Result TunerState::Release(uint64_t until)
{
    Lock lock(this);
    if (!lock.owned())
        return Result::Busy;
    if (memory_->header.heldUntilTick == until)
        memory_->header.heldUntilTick = 0;
    return Result::Ok;
}

TunerState::Result TunerState::Clear(uint32_t* cleared)
{
    Lock lock(this);
    if (!lock.owned())
        return Result::Busy;
    layout::Header& header = memory_->header;
    if (cleared)
        *cleared = header.count;
    header.head = header.count = 0;
    header.heldUntilTick = 0;
    return Result::Ok;
}

TunerState::Result TunerState::Bind(uint32_t* generation)
{
    Lock lock(this);
    if (lock.DeviceRefusal() != Result::Ok)
        return lock.DeviceRefusal();
    *generation = memory_->header.generation;
    return Result::Ok;
}

TunerState::Result TunerState::Alive(uint32_t generation)
{
    Lock lock(this);
    if (!lock.owned())
        return Result::Busy;
    const layout::Header& header = memory_->header;
    return header.plugged && header.generation == generation ? Result::Ok : Result::Stale;
}

TunerState::Result TunerState::Read(uint32_t generation, Frame* frame)
{
    Lock lock(this);
    if (!lock.owned())
        return Result::Busy;
    layout::Header& header = memory_->header;
    // A stale interface reaches no device, so it is no reader either.
    if (!header.plugged || header.generation != generation)
        return Result::Stale;
    const uint64_t now = Now();
    header.lastReadTick = now;
    if (header.count) {
        memcpy(frame->data(), memory_->frames[header.head], frame->size());
        header.head = (header.head + 1) % layout::kCapacity;
        --header.count;
        return Result::Ok;
    }
    if (header.heldUntilTick && now < header.heldUntilTick) {
        memcpy(frame->data(), header.heldFrame, frame->size());
        return Result::Ok;
    }
    header.heldUntilTick = 0;
    return Result::Empty;
}

TunerState::Result TunerState::Unplug(bool* changed)
{
    return SetPlugged(false, changed);
}

TunerState::Result TunerState::Plug(bool* changed)
{
    return SetPlugged(true, changed);
}

TunerState::Result TunerState::SetPlugged(bool plugged, bool* changed)
{
    Lock lock(this);
    if (!lock.owned())
        return Result::Busy;
    layout::Header& header = memory_->header;
    const bool change = (header.plugged != 0) != plugged;
    if (changed)
        *changed = change;
    if (!change)
        return Result::Ok;
    header.plugged = plugged ? 1 : 0;
    if (!plugged) {
        ++header.generation;
        header.head = header.count = 0;
        header.heldUntilTick = 0;
    }
    // Under the lock, so that the mark of two processes' changes is the last one's.
    if (!mapping_->name().empty())
        MarkUnplugged(mapping_->name(), !plugged);
    return Result::Ok;
}

bool TunerState::Plugged()
{
    Lock lock(this);
    return lock.owned() && memory_->header.plugged;
}

TunerState::Result TunerState::GetStatus(Status* status)
{
    Lock lock(this);
    if (!lock.owned())
        return Result::Busy;
    const layout::Header& header = memory_->header;
    const uint64_t now = Now();
    status->pending = header.count;
    status->everRead = header.lastReadTick != 0;
    status->msSinceRead =
        status->everRead && now > header.lastReadTick ? now - header.lastReadTick : 0;
    status->plugged = header.plugged != 0;
    status->held = header.heldUntilTick && now < header.heldUntilTick;
    memcpy(status->heldFrame.data(), header.heldFrame, status->heldFrame.size());
    status->heldMsLeft = status->held ? header.heldUntilTick - now : 0;
    return Result::Ok;
}

size_t TunerState::Pending()
{
    Status status;
    return GetStatus(&status) == Result::Ok ? status.pending : 0;
}

} // namespace simtuner
