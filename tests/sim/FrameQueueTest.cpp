#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "FrameQueue.h"

using simtuner::FrameQueue;
using simtuner::MakeFrame;

namespace {

// A queue of this test's own, apart from the session's.
std::wstring QueueName(const wchar_t* test)
{
    return L"Local\\HalyardTest." + std::to_wstring(GetCurrentProcessId()) + L"." + test;
}

std::shared_ptr<FrameQueue> Open(const std::wstring& name, bool create = true)
{
    std::shared_ptr<FrameQueue> queue;
    std::string error;
    EXPECT_EQ(FrameQueue::OpenStatus::Ok, FrameQueue::OpenShared(create, &queue, &error, name))
        << error;
    return queue;
}

// The raw memory behind a queue, as another process could write it.
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

TEST(FrameQueue, HandlesShareOneBoundedQueueReadOnceInOrder)
{
    std::wstring name = QueueName(L"shared");
    std::shared_ptr<FrameQueue> a = Open(name), b = Open(name, false);
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(a->Created());
    EXPECT_FALSE(b->Created());

    for (unsigned i = 0; i < FrameQueue::kCapacity; ++i)
        ASSERT_EQ(FrameQueue::Result::Ok, a->Push(MakeFrame(0x40BF, static_cast<BYTE>(i))));
    EXPECT_EQ(FrameQueue::Result::Full, b->Push(MakeFrame(0x40BF, 0xEE))) << "257th frame";
    FrameQueue::Status status;
    ASSERT_EQ(FrameQueue::Result::Ok, b->GetStatus(&status));
    EXPECT_EQ(FrameQueue::kCapacity, status.pending);
    EXPECT_FALSE(status.everRead);

    for (unsigned i = 0; i < FrameQueue::kCapacity; ++i) {
        simtuner::Frame frame = {};
        ASSERT_EQ(FrameQueue::Result::Ok, (i % 2 ? a : b)->Pop(&frame)) << i;
        ASSERT_EQ(MakeFrame(0x40BF, static_cast<BYTE>(i)), frame) << i;
    }
    simtuner::Frame untouched = {1, 2, 3, 4};
    EXPECT_EQ(FrameQueue::Result::Empty, a->Pop(&untouched));
    EXPECT_EQ((simtuner::Frame{1, 2, 3, 4}), untouched);
    ASSERT_EQ(FrameQueue::Result::Ok, b->GetStatus(&status));
    EXPECT_TRUE(status.everRead);
    EXPECT_LT(status.msSinceRead, 1000u);

    // The in-process queue runs the same ring.
    std::shared_ptr<FrameQueue> local = FrameQueue::Local();
    for (unsigned i = 0; i < FrameQueue::kCapacity; ++i)
        local->Push(MakeFrame(0x40BF, 1));
    EXPECT_EQ(FrameQueue::Result::Full, local->Push(MakeFrame(0x40BF, 1)));

    a.reset();
    b.reset();
    std::shared_ptr<FrameQueue> none;
    std::string error;
    EXPECT_EQ(FrameQueue::OpenStatus::NotFound, FrameQueue::OpenShared(false, &none, &error, name))
        << "the queue goes with its last handle";
}

TEST(FrameQueue, AnotherLayoutIsRefusedWithAOneLineReason)
{
    std::wstring name = QueueName(L"layout");
    std::shared_ptr<FrameQueue> first = Open(name);
    ASSERT_TRUE(first);
    RawView raw(name);
    ASSERT_NE(nullptr, raw.memory);
    simtuner::layout::Header good = raw.memory->header;

    struct Case {
        void (*tamper)(simtuner::layout::Header*);
        const char* reason;
    };
    const Case cases[] = {
        {[](simtuner::layout::Header* h) { h->version = 2; },
         "simulated tuner queue has layout version 2, this build expects 1"},
        {[](simtuner::layout::Header* h) { h->magic = 0; },
         "another program uses the simulated tuner queue's name for something else"},
        {[](simtuner::layout::Header* h) { h->capacity = 128; },
         "simulated tuner queue has layout version 1 with 128 frames in 1056 bytes, this build "
         "expects 256 frames in 1056 bytes"},
    };
    for (const Case& c : cases) {
        c.tamper(&raw.memory->header);
        std::shared_ptr<FrameQueue> second;
        std::string error;
        EXPECT_EQ(FrameQueue::OpenStatus::Mismatch, FrameQueue::OpenShared(true, &second, &error, name));
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

TEST(FrameQueue, AnAbandonedLockAndIndicesOutsideTheRingAreSurvived)
{
    std::wstring name = QueueName(L"damaged");
    std::shared_ptr<FrameQueue> queue = Open(name);
    ASSERT_TRUE(queue);
    ASSERT_EQ(FrameQueue::Result::Ok, queue->Push(MakeFrame(0x40BF, 0x12)));

    std::wstring lock = name + L".Lock";
    HANDLE thread = CreateThread(nullptr, 0, AbandonLock, const_cast<wchar_t*>(lock.c_str()), 0, nullptr);
    ASSERT_NE(nullptr, thread);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    simtuner::Frame frame = {};
    ASSERT_EQ(FrameQueue::Result::Ok, queue->Pop(&frame)) << "an abandoned lock is taken over";
    EXPECT_EQ(MakeFrame(0x40BF, 0x12), frame);

    RawView raw(name);
    ASSERT_NE(nullptr, raw.memory);
    raw.memory->header.head = 9999;
    raw.memory->header.count = 70000;
    EXPECT_EQ(FrameQueue::Result::Empty, queue->Pop(&frame)) << "nonsense empties the ring";
    ASSERT_EQ(FrameQueue::Result::Ok, queue->Push(MakeFrame(0x40BF, 0x13)));
    ASSERT_EQ(FrameQueue::Result::Ok, queue->Pop(&frame));
    EXPECT_EQ(MakeFrame(0x40BF, 0x13), frame);
}

} // namespace
