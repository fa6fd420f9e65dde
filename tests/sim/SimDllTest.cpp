#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>

#include "ExeFolder.h"
#include "TestWindow.h"
#include "TunerState.h"
#include "halyard.h"
#include "qbox/FindTunerPropertySet.h"

namespace {

// The simulation build, loaded in this process as a host loads it.
class SimDll : public ::testing::Test {
protected:
    void SetUp() override
    {
        dll_ = LoadLibraryA((ExeFolder() + "sim\\Halyard.dll").c_str());
        ASSERT_NE(nullptr, dll_);
        init_ = reinterpret_cast<PFN_InitRemoteControl>(
            reinterpret_cast<void*>(GetProcAddress(dll_, "InitRemoteControl")));
        uninit_ = reinterpret_cast<PFN_UnInitRemoteControl>(
            reinterpret_cast<void*>(GetProcAddress(dll_, "UnInitRemoteControl")));
        ASSERT_TRUE(init_ && uninit_);
    }
    void TearDown() override
    {
        if (dll_)
            FreeLibrary(dll_);
    }

    HMODULE dll_ = nullptr;
    PFN_InitRemoteControl init_ = nullptr;
    PFN_UnInitRemoteControl uninit_ = nullptr;
};

TEST_F(SimDll, FindsTheSimulatedTunerInsideInitOnlyAndLetsGoOfItAtTheEnd)
{
    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    {
        TestWindow window;
        ASSERT_EQ(S_OK, init_(window.hwnd(), nullptr));

        // The host's own discovery, after the call, meets the system's enumerator.
        IKsPropertySet* propertySet = nullptr;
        EXPECT_TRUE(FAILED(FindTunerPropertySet(&propertySet)));
        EXPECT_EQ(nullptr, propertySet);

        std::shared_ptr<simtuner::TunerState> tuner;
        std::string error;
        ASSERT_EQ(simtuner::TunerState::OpenStatus::Ok,
                  simtuner::TunerState::OpenShared(true, &tuner, &error)) << error;
        EXPECT_FALSE(tuner->Created()) << "the library holds the tuner while it runs";
        tuner->Push(simtuner::MakeFrame(0x40BF, 0x12, 0xED));
        ASSERT_TRUE(window.WaitFor(1, Scaled(3000)));
        EXPECT_EQ(0x12, window.received()[0].lParam);
        EXPECT_EQ(S_OK, uninit_());
    }
    CoUninitialize();
    FreeLibrary(dll_);
    dll_ = nullptr;

    std::shared_ptr<simtuner::TunerState> tuner;
    std::string error;
    EXPECT_EQ(simtuner::TunerState::OpenStatus::NotFound,
              simtuner::TunerState::OpenShared(false, &tuner, &error))
        << "the library still holds the tuner";
}

struct Calls {
    PFN_InitRemoteControl init;
    PFN_UnInitRemoteControl uninit;
    HRESULT initResult = S_OK;
    HRESULT uninitResult = S_OK;
};

DWORD WINAPI CallWithoutCom(LPVOID param)
{
    auto* calls = static_cast<Calls*>(param);
    TestWindow window;
    calls->initResult = calls->init(window.hwnd(), nullptr);
    calls->uninitResult = calls->uninit();
    return 0;
}

TEST_F(SimDll, WithoutComOnTheCallingThreadInitFailsAsTheRealLibraryDoes)
{
    Calls calls = {init_, uninit_};
    HANDLE thread = CreateThread(nullptr, 0, CallWithoutCom, &calls, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(E_FAIL, calls.initResult);
    EXPECT_EQ(S_FALSE, calls.uninitResult);
}

} // namespace
