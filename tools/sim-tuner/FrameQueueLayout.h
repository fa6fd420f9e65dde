#pragma once

// The memory of a frame queue, as every build sees it: a 32-bit host and a
// 64-bit halyard-sim share one queue, so only fixed-width fields at fixed
// offsets. A change to anything here is a new kVersion; the object names
// never change, so that builds of different versions meet
// and refuse each other instead of simulating two tuners.

#include <stddef.h>
#include <stdint.h>

namespace simtuner {
namespace layout {

// The session's queue: "<name>.Frames" is the mapping, "<name>.Lock" its mutex.
const wchar_t kSessionQueue[] = L"Local\\Halyard.SimulatedTuner";
const wchar_t kMappingSuffix[] = L".Frames";
const wchar_t kLockSuffix[] = L".Lock";

const uint32_t kMagic = 0x51545348; // "HSTQ" in memory
const uint32_t kVersion = 1;
const uint32_t kCapacity = 256;     // frames

struct Header {
    uint32_t magic;
    uint32_t version;
    uint32_t size;         // bytes of the whole Layout
    uint32_t capacity;     // frames
    uint32_t head;         // slot of the oldest frame
    uint32_t count;        // frames waiting
    uint64_t lastReadTick; // GetTickCount64 of the last read by a driver; 0: never read
};

struct Layout {
    Header header;
    uint8_t frames[kCapacity][4];
};

static_assert(offsetof(Header, lastReadTick) == 24, "the read time sits at the same offset in every build");
static_assert(sizeof(Header) == 32, "the header is 32 bytes in every build");
static_assert(sizeof(Layout) == 32 + kCapacity * 4, "the frames follow the header unpadded");

} // namespace layout
} // namespace simtuner
