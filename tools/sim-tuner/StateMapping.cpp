#include "StateMapping.h"

#include <stdio.h>
#include <string.h>

#include "UnpluggedMark.h"

namespace simtuner {

namespace {

// A process stopped while holding the lock must not hang a host's monitor
// thread: a read then fails and the next poll tries again.
const DWORD kLockTimeoutMs = 1000;

// The mapping's own messages, shown by halyard-sim and traced by the
// simulation build.
const char kBusy[] = "the simulated tuner is locked by another process";
const char kNotATuner[] = "another program uses the simulated tuner's name for something else";
const char kOtherVersion[] = "the simulated tuner has layout version %u, this build expects %u";
const char kOtherSize[] =
    "the simulated tuner has layout version %u with %u frames in %u bytes, this build expects "
    "%u frames in %u bytes";
const char kSystemFailure[] = "cannot open the simulated tuner (system error %lu)";

template <typename... Args>
std::string Format(const char* format, Args... args)
{
    char text[256];
    snprintf(text, sizeof(text), format, args...);
    return text;
}

void InitHeader(layout::Header* header, bool plugged)
{
    memset(header, 0, sizeof(*header));
    header->magic = layout::kMagic;
    header->version = layout::kVersion;
    header->size = sizeof(layout::Layout);
    header->capacity = layout::kCapacity;
    header->plugged = plugged ? 1 : 0;
}

// Why another process's memory is not ours to use; empty when it is.
std::string Refusal(const layout::Header& header, size_t mappedBytes)
{
    if (header.magic != layout::kMagic)
        return kNotATuner;
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
    // Abandoned: its owner died; the state is checked before use anyway.
    DWORD wait = WaitForSingleObject(mutex, kLockTimeoutMs);
    return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

} // namespace

StateMapping::StateMapping(layout::Layout* memory, HANDLE mutex, HANDLE mapping, bool created,
                           std::wstring name)
    : memory_(memory), mutex_(mutex), mapping_(mapping), created_(created), name_(std::move(name))
{
}

StateMapping::~StateMapping()
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

std::unique_ptr<StateMapping> StateMapping::Local()
{
    auto* memory = new layout::Layout();
    InitHeader(&memory->header, true);
    // Without a mutex every lock fails, which is safe.
    return std::unique_ptr<StateMapping>(new StateMapping(
        memory, CreateMutexW(nullptr, FALSE, nullptr), nullptr, false, std::wstring()));
}

StateMapping::OpenStatus StateMapping::OpenShared(bool create, const std::wstring& name,
                                                  std::unique_ptr<StateMapping>* result,
                                                  std::string* error)
{
    HANDLE mutex = CreateMutexW(nullptr, FALSE, (name + layout::kLockSuffix).c_str());
    if (!mutex) {
        *error = Format(kSystemFailure, GetLastError());
        return OpenStatus::Failed;
    }
    // Made and checked under the lock, so no process sees a state before its
    // header is written.
    if (!simtuner::Acquire(mutex)) {
        CloseHandle(mutex);
        *error = kBusy;
        return OpenStatus::Failed;
    }
    const std::wstring frames = name + layout::kMappingSuffix;
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
        // As the last process left it.
        InitHeader(&static_cast<layout::Layout*>(view)->header, !LeftUnplugged(name));
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
    result->reset(new StateMapping(static_cast<layout::Layout*>(view), mutex, mapping, created, name));
    return OpenStatus::Ok;
}

bool StateMapping::Acquire()
{
    return simtuner::Acquire(mutex_);
}

void StateMapping::Release()
{
    ReleaseMutex(mutex_);
}

} // namespace simtuner
