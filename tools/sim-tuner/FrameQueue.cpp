#include "FrameQueue.h"

#include <stdio.h>
#include <string.h>

namespace simtuner {

namespace {

// A process stopped while holding the lock must not hang a host's monitor
// thread: a read then fails and the next poll tries again.
const DWORD kLockTimeoutMs = 1000;

// The queue's own messages, shown by halyard-sim and traced by the
// simulation build.
const char kBusy[] = "the simulated tuner queue is locked by another process";
const char kNotAQueue[] = "another program uses the simulated tuner queue's name for something else";
const char kOtherVersion[] = "simulated tuner queue has layout version %u, this build expects %u";
const char kOtherSize[] =
    "simulated tuner queue has layout version %u with %u frames in %u bytes, this build expects "
    "%u frames in %u bytes";
const char kSystemFailure[] = "cannot open the simulated tuner queue (system error %lu)";

template <typename... Args>
std::string Format(const char* format, Args... args)
{
    char text[256];
    snprintf(text, sizeof(text), format, args...);
    return text;
}

void InitHeader(layout::Header* header)
{
    memset(header, 0, sizeof(*header));
    header->magic = layout::kMagic;
    header->version = layout::kVersion;
    header->size = sizeof(layout::Layout);
    header->capacity = layout::kCapacity;
}

// Why another queue's memory is not ours to use; empty when it is.
std::string Refusal(const layout::Header& header, size_t mappedBytes)
{
    if (header.magic != layout::kMagic)
        return kNotAQueue;
    if (header.version != layout::kVersion)
        return Format(kOtherVersion, header.version, layout::kVersion);
    if (header.size != sizeof(layout::Layout) || header.capacity != layout::kCapacity ||
        mappedBytes < sizeof(layout::Layout))
        return Format(kOtherSize, header.version, header.capacity, header.size, layout::kCapacity,
                      static_cast<unsigned>(sizeof(layout::Layout)));
    return std::string();
}

bool Acquire(HANDLE mutex)
{
    // Abandoned: its owner died; the ring is checked before use anyway.
    DWORD wait = WaitForSingleObject(mutex, kLockTimeoutMs);
    return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

} // namespace

Frame MakeFrame(WORD customCode, BYTE key, BYTE fourth)
{
    return Frame{static_cast<BYTE>(customCode >> 8), static_cast<BYTE>(customCode & 0xFF), key,
                 fourth};
}

// Holds the queue's mutex. Any process of the session can write the shared
// memory, and one may have died halfway: indices that point outside the
// ring empty it rather than be followed.
class FrameQueue::Lock {
public:
    explicit Lock(FrameQueue* queue) : queue_(queue), owned_(Acquire(queue->mutex_))
    {
        layout::Header& header = queue_->memory_->header;
        if (owned_ && (header.head >= layout::kCapacity || header.count > layout::kCapacity))
            header.head = header.count = 0;
    }
    ~Lock()
    {
        if (owned_)
            ReleaseMutex(queue_->mutex_);
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    bool owned() const { return owned_; }

private:
    FrameQueue* queue_;
    bool owned_;
};

FrameQueue::FrameQueue(layout::Layout* memory, HANDLE mutex, HANDLE mapping, bool created)
    : memory_(memory), mutex_(mutex), mapping_(mapping), created_(created)
{
}

FrameQueue::~FrameQueue()
{
    if (mapping_) {
        UnmapViewOfFile(memory_);
        CloseHandle(mapping_);
    } else {
        delete memory_;
    }
    if (mutex_)
        CloseHandle(mutex_);
}

std::shared_ptr<FrameQueue> FrameQueue::Local()
{
    auto* memory = new layout::Layout();
    InitHeader(&memory->header);
    // Without a mutex every call reports Busy, which is safe.
    return std::shared_ptr<FrameQueue>(
        new FrameQueue(memory, CreateMutexW(nullptr, FALSE, nullptr), nullptr, false));
}

FrameQueue::OpenStatus FrameQueue::OpenShared(bool create, std::shared_ptr<FrameQueue>* queue,
                                              std::string* error, const std::wstring& name)
{
    const std::wstring base = name.empty() ? layout::kSessionQueue : name;
    HANDLE mutex = CreateMutexW(nullptr, FALSE, (base + layout::kLockSuffix).c_str());
    if (!mutex) {
        *error = Format(kSystemFailure, GetLastError());
        return OpenStatus::Failed;
    }
    // Made and checked under the lock, so no process sees a queue before its
    // header is written.
    if (!Acquire(mutex)) {
        CloseHandle(mutex);
        *error = kBusy;
        return OpenStatus::Failed;
    }
    const std::wstring frames = base + layout::kMappingSuffix;
    HANDLE mapping = create ? CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                 sizeof(layout::Layout), frames.c_str())
                            : OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, frames.c_str());
    DWORD lastError = GetLastError();
    bool created = mapping && create && lastError != ERROR_ALREADY_EXISTS;
    void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0) : nullptr;
    if (mapping && !view)
        lastError = GetLastError();

    OpenStatus status = OpenStatus::Ok;
    if (!view) {
        status = !mapping && lastError == ERROR_FILE_NOT_FOUND ? OpenStatus::NotFound
                                                                : OpenStatus::Failed;
        *error = Format(kSystemFailure, lastError);
    } else if (created) {
        InitHeader(&static_cast<layout::Layout*>(view)->header);
    } else {
        MEMORY_BASIC_INFORMATION info = {};
        VirtualQuery(view, &info, sizeof(info));
        *error = Refusal(static_cast<layout::Layout*>(view)->header, info.RegionSize);
        if (!error->empty())
            status = OpenStatus::Mismatch;
    }
    ReleaseMutex(mutex);

    if (status != OpenStatus::Ok) {
        if (view)
            UnmapViewOfFile(view);
        if (mapping)
            CloseHandle(mapping);
        CloseHandle(mutex);
        return status;
    }
    error->clear();
    queue->reset(new FrameQueue(static_cast<layout::Layout*>(view), mutex, mapping, created));
    return OpenStatus::Ok;
}

FrameQueue::Result FrameQueue::Push(const Frame& frame)
{
    Lock lock(this);
    if (!lock.owned())
        return Result::Busy;
    layout::Header& header = memory_->header;
    if (header.count >= layout::kCapacity)
        return Result::Full;
    memcpy(memory_->frames[(header.head + header.count) % layout::kCapacity], frame.data(),
           frame.size());
    ++header.count;
    return Result::Ok;
}

FrameQueue::Result FrameQueue::Pop(Frame* frame)
{
    Lock lock(this);
    if (!lock.owned())
        return Result::Busy;
    layout::Header& header = memory_->header;
    ULONGLONG now = GetTickCount64();
    header.lastReadTick = now ? now : 1; // 0 means never
    if (header.count == 0)
        return Result::Empty;
    memcpy(frame->data(), memory_->frames[header.head], frame->size());
    header.head = (header.head + 1) % layout::kCapacity;
    --header.count;
    return Result::Ok;
}

FrameQueue::Result FrameQueue::Clear(uint32_t* cleared)
{
    Lock lock(this);
    if (!lock.owned())
        return Result::Busy;
    if (cleared)
        *cleared = memory_->header.count;
    memory_->header.head = memory_->header.count = 0;
    return Result::Ok;
}

FrameQueue::Result FrameQueue::GetStatus(Status* status)
{
    Lock lock(this);
    if (!lock.owned())
        return Result::Busy;
    const layout::Header& header = memory_->header;
    status->pending = header.count;
    status->everRead = header.lastReadTick != 0;
    ULONGLONG now = GetTickCount64();
    status->msSinceRead =
        status->everRead && now > header.lastReadTick ? now - header.lastReadTick : 0;
    return Result::Ok;
}

size_t FrameQueue::Pending()
{
    Status status;
    return GetStatus(&status) == Result::Ok ? status.pending : 0;
}

} // namespace simtuner
