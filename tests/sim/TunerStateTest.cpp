#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "TunerState.h"
#include "UnpluggedMark.h"

using simtuner::TunerState;
using simtuner::MakeFrame;

namespace {

// A tuner of this test's own, apart from the session's.
std::wstring TunerName(const wchar_t* test)
{
    return L"Local\\HalyardTest." + std::to_wstring(GetCurrentProcessId()) + L"." + test;
}

std::shared_ptr<TunerState> Open(const std::wstring& name, bool create = true)
{
    std::shared_ptr<TunerState> tuner;
    std::string error;
    EXPECT_EQ(TunerState::OpenStatus::Ok, TunerState::OpenShared(create, &tuner, &error, name))
        << error;
    return tuner;
}

// The raw memory behind a tuner, as another process could write it.
struct RawView {
    explicit RawView(const std::wstring& name)
        : mapping(OpenFileMappingW(FILE_MAP_WRITE, FALSE, (name + L".Frames").c_str())),
          memory(static_cast<simtuner::layout::Layout*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0)))
    {
    }
    ~RawView()
    {
        UnmapViewOfFile(memory);
        CloseHandle(mapping);
    }
    HANDLE mapping;
    simtuner::layout::Layout* memory;
};

TEST(TunerState, HandlesShareOneBoundedQueueReadOnceInOrder)
{
    std::wstring name = TunerName(L"shared");
    std::shared_ptr<TunerState> a = Open(name), b = Open(name, false);
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(a->Created());
    EXPECT_FALSE(b->Created());

    for (unsigned i = 0; i < TunerState::kCapacity; ++i)
        ASSERT_EQ(TunerState::Result::Ok, a->Push(MakeFrame(0x40BF, static_cast<BYTE>(i))));
    EXPECT_EQ(TunerState::Result::Full, b->Push(MakeFrame(0x40BF, 0xEE))) << "257th frame";
    TunerState::Status status;
    ASSERT_EQ(TunerState::Result::Ok, b->GetStatus(&status));
    EXPECT_EQ(TunerState::kCapacity, status.pending);
    EXPECT_FALSE(status.everRead);

    for (unsigned i = 0; i < TunerState::kCapacity; ++i) {
        simtuner::Frame frame = {};
        ASSERT_EQ(TunerState::Result::Ok, (i % 2 ? a : b)->Read(0, &frame)) << i;
        ASSERT_EQ(MakeFrame(0x40BF, static_cast<BYTE>(i)), frame) << i;
    }
    simtuner::Frame untouched = {1, 2, 3, 4};
    EXPECT_EQ(TunerState::Result::Empty, a->Read(0, &untouched));
    EXPECT_EQ((simtuner::Frame{1, 2, 3, 4}), untouched);
    ASSERT_EQ(TunerState::Result::Ok, b->GetStatus(&status));
    EXPECT_TRUE(status.everRead);
    EXPECT_LT(status.msSinceRead, 1000u);

    // The in-process tuner runs the same ring.
    std::shared_ptr<TunerState> local = TunerState::Local();
    for (unsigned i = 0; i < TunerState::kCapacity; ++i)
        local->Push(MakeFrame(0x40BF, 1));
    EXPECT_EQ(TunerState::Result::Full, local->Push(MakeFrame(0x40BF, 1)));

    a.reset();
    b.reset();
    std::shared_ptr<TunerState> none;
    std::string error;
    EXPECT_EQ(TunerState::OpenStatus::NotFound, TunerState::OpenShared(false, &none, &error, name))
        << "the tuner goes with its last handle";
}

TEST(TunerState, AnotherLayoutIsRefusedWithAOneLineReason)
{
    std::wstring name = TunerName(L"layout");
    std::shared_ptr<TunerState> first = Open(name);
    ASSERT_TRUE(first);
    RawView raw(name);
    ASSERT_NE(nullptr, raw.memory);
    simtuner::layout::Header good = raw.memory->header;

    struct Case {
        void (*tamper)(simtuner::layout::Header*);
        const char* reason;
    };
    const Case cases[] = {
        {[](simtuner::layout::Header* h) { h->version = 3; },
         "the simulated tuner has layout version 3, this build expects 2"},
        {[](simtuner::layout::Header* h) { h->magic = 0; },
         "another program uses the simulated tuner's name for something else"},
        {[](simtuner::layout::Header* h) { h->capacity = 128; },
         "the simulated tuner has layout version 2 with 128 frames in 1080 bytes, this build "
         "expects 256 frames in 1080 bytes"},
    };
    for (const Case& c : cases) {
        c.tamper(&raw.memory->header);
        std::shared_ptr<TunerState> second;
        std::string error;
        EXPECT_EQ(TunerState::OpenStatus::Mismatch, TunerState::OpenShared(true, &second, &error, name));
        EXPECT_EQ(c.reason, error);
        EXPECT_FALSE(second);
        raw.memory->header = good;
    }
}

DWORD WINAPI AbandonLock(LPVOID name)
{
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, static_cast<const wchar_t*>(name));
    WaitForSingleObject(mutex, INFINITE);
    return 0; // ends holding it
}

TEST(TunerState, AnAbandonedLockAndIndicesOutsideTheRingAreSurvived)
{
    std::wstring name = TunerName(L"damaged");
    std::shared_ptr<TunerState> tuner = Open(name);
    ASSERT_TRUE(tuner);
    ASSERT_EQ(TunerState::Result::Ok, tuner->Push(MakeFrame(0x40BF, 0x12)));

    std::wstring lock = name + L".Lock";
    HANDLE thread = CreateThread(nullptr, 0, AbandonLock, const_cast<wchar_t*>(lock.c_str()), 0, nullptr);
    ASSERT_NE(nullptr, thread);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    simtuner::Frame frame = {};
    ASSERT_EQ(TunerState::Result::Ok, tuner->Read(0, &frame)) << "an abandoned lock is taken over";
    EXPECT_EQ(MakeFrame(0x40BF, 0x12), frame);

    RawView raw(name);
    ASSERT_NE(nullptr, raw.memory);
    raw.memory->header.head = 9999;
    raw.memory->header.count = 70000;
    EXPECT_EQ(TunerState::Result::Empty, tuner->Read(0, &frame)) << "nonsense empties the ring";
    ASSERT_EQ(TunerState::Result::Ok, tuner->Push(MakeFrame(0x40BF, 0x13)));
    ASSERT_EQ(TunerState::Result::Ok, tuner->Read(0, &frame));
    EXPECT_EQ(MakeFrame(0x40BF, 0x13), frame);
}

TEST(TunerState, UnplugDropsWhatWaitedAndEveryEarlierInterfaceStaysDead)
{
    std::wstring name = TunerName(L"unplug");
    std::shared_ptr<TunerState> host = Open(name), tool = Open(name, false);
    ASSERT_TRUE(host && tool);
    uint32_t before = 0;
    ASSERT_EQ(TunerState::Result::Ok, host->Bind(&before));
    ASSERT_EQ(TunerState::Result::Ok, tool->Push(MakeFrame(0x40BF, 0x12)));
    ASSERT_EQ(TunerState::Result::Ok, tool->Hold(MakeFrame(0x40BF, 0x13), 60000));

    bool changed = false;
    ASSERT_EQ(TunerState::Result::Ok, tool->Unplug(&changed));
    EXPECT_TRUE(changed);
    ASSERT_EQ(TunerState::Result::Ok, tool->Unplug(&changed));
    EXPECT_FALSE(changed) << "unplugging an unplugged tuner changes nothing";
    EXPECT_FALSE(host->Plugged());
    simtuner::Frame frame = {1, 2, 3, 4};
    EXPECT_EQ(TunerState::Result::Stale, host->Read(before, &frame));
    EXPECT_EQ(TunerState::Result::Stale, host->Alive(before));
    EXPECT_EQ(TunerState::Result::Unplugged, tool->Push(MakeFrame(0x40BF, 0x14)));
    EXPECT_EQ(TunerState::Result::Unplugged, tool->Hold(MakeFrame(0x40BF, 0x14), 1000));
    uint32_t during = 0;
    EXPECT_EQ(TunerState::Result::Unplugged, host->Bind(&during));
    TunerState::Status status;
    ASSERT_EQ(TunerState::Result::Ok, tool->GetStatus(&status));
    EXPECT_FALSE(status.plugged);
    EXPECT_EQ(0u, status.pending) << "the frames waiting went with the device";
    EXPECT_FALSE(status.held);
    EXPECT_FALSE(status.everRead) << "a stale interface's reads are no reads";

    ASSERT_EQ(TunerState::Result::Ok, tool->Plug(&changed));
    EXPECT_TRUE(changed);
    uint32_t after = 0;
    ASSERT_EQ(TunerState::Result::Ok, host->Bind(&after));
    EXPECT_NE(before, after);
    EXPECT_EQ(TunerState::Result::Empty, host->Read(after, &frame)) << "nothing waited past the unplug";
    ASSERT_EQ(TunerState::Result::Ok, tool->Push(MakeFrame(0x40BF, 0x15)));
    EXPECT_EQ(TunerState::Result::Stale, host->Read(before, &frame)) << "stale for good";
    EXPECT_EQ((simtuner::Frame{1, 2, 3, 4}), frame);
    ASSERT_EQ(TunerState::Result::Ok, host->Read(after, &frame));
    EXPECT_EQ(MakeFrame(0x40BF, 0x15), frame);

    // A sleep makes every interface stale too, also when the tuner is back at once.
    ASSERT_EQ(TunerState::Result::Ok, tool->Unplug());
    ASSERT_EQ(TunerState::Result::Ok, tool->Plug());
    EXPECT_EQ(TunerState::Result::Stale, host->Alive(after));
}

TEST(TunerState, AHeldKeyAnswersEveryReadWithNoFrameWaitingUntilItEnds)
{
    std::wstring name = TunerName(L"hold");
    std::shared_ptr<TunerState> tuner = Open(name);
    ASSERT_TRUE(tuner);
    RawView raw(name);
    ASSERT_NE(nullptr, raw.memory);
    const simtuner::Frame held = MakeFrame(0x40BF, 0x20, 0xDF);
    uint64_t until = 0;
    ASSERT_EQ(TunerState::Result::Ok, tuner->Hold(held, 60000, &until));

    simtuner::Frame frame = {};
    for (int read = 0; read < 3; ++read) {
        ASSERT_EQ(TunerState::Result::Ok, tuner->Read(0, &frame)) << read;
        EXPECT_EQ(held, frame) << read;
    }
    EXPECT_EQ(0u, tuner->Pending()) << "a held key queues nothing";
    ASSERT_EQ(TunerState::Result::Ok, tuner->Push(MakeFrame(0x40BF, 0x21)));
    ASSERT_EQ(TunerState::Result::Ok, tuner->Read(0, &frame));
    EXPECT_EQ(MakeFrame(0x40BF, 0x21), frame) << "a pressed key comes first";
    ASSERT_EQ(TunerState::Result::Ok, tuner->Read(0, &frame));
    EXPECT_EQ(held, frame);
    TunerState::Status status;
    ASSERT_EQ(TunerState::Result::Ok, tuner->GetStatus(&status));
    EXPECT_TRUE(status.held);
    EXPECT_EQ(held, status.heldFrame);
    EXPECT_GT(status.heldMsLeft, 50000u);

    // Its time has come.
    raw.memory->header.heldUntilTick = GetTickCount64() - 1;
    EXPECT_EQ(TunerState::Result::Empty, tuner->Read(0, &frame));
    ASSERT_EQ(TunerState::Result::Ok, tuner->GetStatus(&status));
    EXPECT_FALSE(status.held);

    // Release ends its own hold only; Clear ends any.
    ASSERT_EQ(TunerState::Result::Ok, tuner->Hold(held, 60000, &until));
    ASSERT_EQ(TunerState::Result::Ok, tuner->Release(until - 1));
    EXPECT_EQ(TunerState::Result::Ok, tuner->Read(0, &frame));
    ASSERT_EQ(TunerState::Result::Ok, tuner->Release(until));
    EXPECT_EQ(TunerState::Result::Empty, tuner->Read(0, &frame));
    ASSERT_EQ(TunerState::Result::Ok, tuner->Hold(held, 60000));
    ASSERT_EQ(TunerState::Result::Ok, tuner->Clear());
    EXPECT_EQ(TunerState::Result::Empty, tuner->Read(0, &frame));
}

TEST(TunerState, AnUnpluggedTunerStaysSoWhenNoProcessHoldsIt)
{
    std::wstring name = TunerName(L"mark");
    std::shared_ptr<TunerState> tuner = Open(name);
    ASSERT_TRUE(tuner);
    ASSERT_EQ(TunerState::Result::Ok, tuner->Unplug());
    tuner = Open(name);
    ASSERT_TRUE(tuner);
    EXPECT_FALSE(tuner->Created());
    tuner.reset();

    tuner = Open(name);
    ASSERT_TRUE(tuner);
    EXPECT_TRUE(tuner->Created());
    EXPECT_FALSE(tuner->Plugged()) << "made anew, as the last process left it";
    ASSERT_EQ(TunerState::Result::Ok, tuner->Plug());
    tuner = Open(name);
    tuner.reset();
    tuner = Open(name);
    ASSERT_TRUE(tuner);
    EXPECT_TRUE(tuner->Plugged());

    // A process's own tuner leaves no mark.
    std::shared_ptr<TunerState> local = TunerState::Local();
    ASSERT_EQ(TunerState::Result::Ok, local->Unplug());
    EXPECT_FALSE(local->Plugged());
    EXPECT_FALSE(simtuner::LeftUnplugged(name));
}

} // namespace
