#include <gtest/gtest.h>

#include "IatPatch.h"
#include "halyard.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID);

namespace {

LPVOID WINAPI FailingHeapAlloc(HANDLE, DWORD, SIZE_T)
{
    return nullptr;
}

TEST(LibraryEntry, FailedAllocationAtLoadShowsAsEPointer)
{
    {
        IatPatch patch(GetModuleHandleA(nullptr), "KERNEL32.dll", "HeapAlloc",
                       reinterpret_cast<void*>(FailingHeapAlloc));
        ASSERT_TRUE(patch.applied());
        EXPECT_TRUE(DllMain(nullptr, DLL_PROCESS_ATTACH, nullptr)) << "load must still succeed";
    }
    EXPECT_EQ(E_POINTER, InitRemoteControl(nullptr, "C:\\halyard.ini"));
    EXPECT_EQ(E_POINTER, UnInitRemoteControl());
    EXPECT_TRUE(DllMain(nullptr, DLL_PROCESS_DETACH, nullptr));
}

TEST(LibraryEntry, ExportsReachTheInstanceBetweenAttachAndDetach)
{
    EXPECT_EQ(E_POINTER, UnInitRemoteControl()) << "no instance before attach";
    ASSERT_TRUE(DllMain(nullptr, DLL_PROCESS_ATTACH, nullptr));
    EXPECT_TRUE(DllMain(nullptr, DLL_THREAD_ATTACH, nullptr));
    EXPECT_TRUE(DllMain(nullptr, DLL_THREAD_DETACH, nullptr));
    EXPECT_EQ(S_FALSE, UnInitRemoteControl());
    EXPECT_TRUE(DllMain(nullptr, DLL_PROCESS_DETACH, nullptr));
    EXPECT_EQ(E_POINTER, UnInitRemoteControl()) << "the instance is gone after detach";
}

} // namespace
