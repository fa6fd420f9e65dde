#pragma once

// The memory of a simulated tuner's state, as every build sees it: a 32-bit
// host and a 64-bit halyard-sim share one tuner, so only fixed-width fields
// at fixed offsets. A change to anything here is a new kVersion; the object
// names and the first two fields never change, so that builds of different
// versions meet and refuse each other instead of simulating two tuners.

#include <stddef.h>
#include <stdint.h>

namespace simtuner {
namespace layout {

// The session's tuner: "<name>.Frames" is the mapping, "<name>.Lock" its
// mutex. Version 1 held frames only; the names stay.
const wchar_t kSessionTuner[] = L"Local\\Halyard.SimulatedTuner";
const wchar_t kMappingSuffix[] = L".Frames";
const wchar_t kLockSuffix[] = L".Lock";

const uint32_t kMagic = 0x51545348; // "HSTQ" in memory
const uint32_t kVersion = 2;
const uint32_t kCapacity = 256;     // frames

struct Header {
    uint32_t magic;
    uint32_t version;
    uint32_t size;         // bytes of the whole Layout
    uint32_t capacity;     // frames
    uint32_t head;         // slot of the oldest frame
    uint32_t count;        // frames waiting
    uint64_t lastReadTick; // GetTickCount64 of the last read by a driver; 0: never read

    // The device. Every interface remembers the generation it was bound in
    // and is dead once the generation moves on, as a handle to a removed
    // device stays dead after the device returns.
    uint32_t plugged;    // nonzero while the tuner is listed
    uint32_t generation; // one more each time the tuner goes away

    // A key held down: every read that finds no frame waiting gets heldFrame
    // until heldUntilTick (GetTickCount64); 0 when no key is held.
    uint64_t heldUntilTick;
    uint8_t heldFrame[4];
    uint32_t reserved;
};

struct Layout {
    Header header;
    uint8_t frames[kCapacity][4];
};

static_assert(offsetof(Header, version) == 4, "the version sits where every version's builds look");
static_assert(offsetof(Header, lastReadTick) == 24, "the read time sits at the same offset in every build");
static_assert(offsetof(Header, heldUntilTick) == 40, "the held key sits at the same offset in every build");
static_assert(sizeof(Header) == 56, "the header is 56 bytes in every build");
static_assert(sizeof(Layout) == 56 + kCapacity * 4, "the frames follow the header unpadded");

} // namespace layout
} // namespace simtuner
