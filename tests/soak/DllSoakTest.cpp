// Soak and fault tests of the built Halyard.dll, driven through its exports
// as a host drives it, against the simulated tuner.

#include <gtest/gtest.h>

#include <objbase.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ExeFolder.h"
#include "SimTuner.h"
#include "SoakSupport.h"
#include "TestWindow.h"
#include "halyard.h"

namespace {

using simtuner::MakeFrame;
using simtuner::Simulation;
using soak::Counts;
using soak::IniFile;
using soak::MaskIni;

const HRESULT kAlreadyRunning = HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED);

class DllSoak : public ::testing::Test {
protected:
    void SetUp() override
    {
        HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
        ASSERT_NO_FATAL_FAILURE(Load());
    }

    void Load()
    {
        std::string dll = ExeFolder() + "Halyard.dll";
        module_ = LoadLibraryExA(dll.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        ASSERT_NE(nullptr, module_) << dll << ": error " << GetLastError();
        init_ = reinterpret_cast<PFN_InitRemoteControl>(
            reinterpret_cast<void*>(GetProcAddress(module_, "InitRemoteControl")));
        uninit_ = reinterpret_cast<PFN_UnInitRemoteControl>(
            reinterpret_cast<void*>(GetProcAddress(module_, "UnInitRemoteControl")));
        ASSERT_NE(nullptr, init_);
        ASSERT_NE(nullptr, uninit_);
    }

    void Unload()
    {
        FreeLibrary(module_);
        module_ = nullptr;
    }

    void TearDown() override
    {
        if (module_) {
            uninit_(); // never unload under a running monitor
            Unload();
        }
        sim.reset();
        CoUninitialize();
        EXPECT_EQ(0, Simulation::LiveObjects()) << "simulated objects left alive";
        EXPECT_EQ(0, Simulation::OutstandingReferences()) << "references left held";
    }

    void Install(simtuner::Config config = simtuner::OneTuner())
    {
        sim.reset(new Simulation(std::move(config)));
        ASSERT_EQ(S_OK, sim->Install());
    }

    // One full start and stop, so that whatever the platform sets up on first
    // use is in place before counts are taken.
    void WarmUp()
    {
        TestWindow window;
        IniFile ini(MaskIni("0"));
        ASSERT_EQ(S_OK, init_(window.hwnd(), ini.path()));
        ASSERT_EQ(S_OK, uninit_());
    }

    HMODULE module_ = nullptr;
    PFN_InitRemoteControl init_ = nullptr;
    PFN_UnInitRemoteControl uninit_ = nullptr;
    std::unique_ptr<Simulation> sim;
};

// ---------------------------------------------------------------- cycles ---

DWORD WINAPI WaitForEvent(LPVOID event)
{
    return WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
}

// The counts below must be able to see a leak at all.
TEST(ProcessCounts, SeeAnExtraHandleAndThread)
{
    Counts before = soak::CountNow();
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, WaitForEvent, event, 0, nullptr);
    Counts during = soak::CountNow();
    SetEvent(event);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(event);
    EXPECT_EQ(before.handles + 2, during.handles);
    EXPECT_EQ(before.threads + 1, during.threads);
    Counts after = soak::SettleTo(before);
    EXPECT_EQ(before.handles, after.handles);
    EXPECT_EQ(before.threads, after.threads);
}

TEST_F(DllSoak, ThousandInitUnInitCyclesGiveBackEveryHandleAndThread)
{
    Install();
    TestWindow window;
    IniFile ini(MaskIni("0x40BF"));
    for (int i = 0; i < 5; ++i) { // warm up whatever the platform sets up once
        ASSERT_EQ(S_OK, init_(window.hwnd(), ini.path()));
        ASSERT_EQ(S_OK, uninit_());
    }
    Counts baseline = soak::Baseline();

    size_t delivered = 0;
    for (int cycle = 0; cycle < 1000; ++cycle) {
        ASSERT_EQ(S_OK, init_(window.hwnd(), ini.path())) << "cycle " << cycle;
        if (cycle % 250 == 125) { // now and then, a cycle that delivers
            sim->PushFrame(MakeFrame(0x40BF, static_cast<BYTE>(cycle)));
            ASSERT_TRUE(window.WaitFor(++delivered, Scaled(3000))) << "cycle " << cycle;
        }
        ASSERT_EQ(S_OK, uninit_()) << "cycle " << cycle;
        EXPECT_EQ(0, Simulation::LiveObjects()) << "cycle " << cycle;
    }

    Counts after = soak::SettleTo(baseline);
    EXPECT_EQ(baseline.handles, after.handles) << "handles leaked over 1000 cycles";
    EXPECT_EQ(baseline.threads, after.threads) << "threads left over 1000 cycles";
    window.Pump(0);
    EXPECT_EQ(delivered, window.received().size());
}

TEST_F(DllSoak, HundredLoadFreeCyclesGiveBackEveryHandleAndThread)
{
    Install();
    TestWindow window;
    IniFile ini(MaskIni("0"));
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(S_OK, init_(window.hwnd(), ini.path()));
        ASSERT_EQ(S_OK, uninit_());
        Unload();
        ASSERT_NO_FATAL_FAILURE(Load());
    }
    Counts baseline = soak::Baseline();

    for (int cycle = 0; cycle < 100; ++cycle) {
        ASSERT_EQ(S_OK, init_(window.hwnd(), ini.path())) << "cycle " << cycle;
        ASSERT_EQ(S_OK, uninit_()) << "cycle " << cycle;
        Unload();
        ASSERT_EQ(nullptr, GetModuleHandleA("Halyard.dll")) << "still mapped, cycle " << cycle;
        EXPECT_EQ(0, Simulation::LiveObjects()) << "cycle " << cycle;
        ASSERT_NO_FATAL_FAILURE(Load());
    }

    Counts after = soak::SettleTo(baseline);
    EXPECT_EQ(baseline.handles, after.handles) << "handles leaked over 100 loads";
    EXPECT_EQ(baseline.threads, after.threads) << "threads left over 100 loads";
    // The library loaded last still works.
    ASSERT_EQ(S_OK, init_(window.hwnd(), ini.path()));
    sim->PushFrame(MakeFrame(0x1234, 0x42));
    EXPECT_TRUE(window.WaitFor(1, Scaled(3000)));
    EXPECT_EQ(S_OK, uninit_());
}

TEST_F(DllSoak, UnInitAtRandomMomentsOfThePollCycleEndsReadsAndMessages)
{
    Install();
    unsigned seed = soak::Seed(1001);
    SCOPED_TRACE("seed " + std::to_string(seed));
    soak::BusyDevice device(seed, 180);
    device.Attach(*sim);
    std::mt19937 rng(seed + 1);
    TestWindow window;
    IniFile ini(MaskIni("0x40BF"));

    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_EQ(S_OK, init_(window.hwnd(), ini.path()));
        // From before the first read to inside the second, slow or not.
        Sleep(rng() % 700);
        ASSERT_EQ(S_OK, uninit_());
        size_t readsAtReturn = sim->GetCallCount();

        window.Pump(round % 6 == 0 ? Scaled(300) : 0); // now and then past a poll interval
        EXPECT_EQ(readsAtReturn, sim->GetCallCount()) << "a read after UnInitRemoteControl";
        ASSERT_NO_FATAL_FAILURE(soak::ExpectMessagesMatchReads(window, readsAtReturn));
    }
    EXPECT_GT(sim->GetCallCount(), 10u) << "the rounds hardly ever read";
}

// --------------------------------------------------------- driver faults ---

TEST_F(DllSoak, ReadsSlowerThanThePollIntervalStillDeliverEveryFrameOnce)
{
    Install();
    sim->SetGetDelay(400);
    TestWindow window;
    IniFile ini(MaskIni("0x40BF"));
    for (BYTE key = 1; key <= 3; ++key)
        sim->PushFrame(MakeFrame(0x40BF, key));

    ASSERT_EQ(S_OK, init_(window.hwnd(), ini.path()));
    ASSERT_TRUE(window.WaitFor(3, Scaled(5000)));
    ASSERT_EQ(S_OK, uninit_());
    window.Pump(0);
    ASSERT_EQ(3u, window.received().size());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(i + 1, window.received()[i].lParam);
}

TEST_F(DllSoak, DriverFailingForAWhileThenRecoveringLosesNoQueuedFrame)
{
    Install();
    TestWindow window;
    IniFile ini(MaskIni("0"));
    sim->SetGetResult(HRESULT_FROM_WIN32(ERROR_GEN_FAILURE));
    sim->PushFrame(MakeFrame(0x1111, 0x21));

    ASSERT_EQ(S_OK, init_(window.hwnd(), ini.path()));
    DWORD start = GetTickCount();
    while (sim->GetCallCount() < 3 && GetTickCount() - start < Scaled(5000))
        window.Pump(50);
    ASSERT_GE(sim->GetCallCount(), 3u);
    EXPECT_TRUE(window.received().empty()) << "a failed read delivered a key";

    sim->SetGetResult(S_OK);
    sim->FailNextGets(2, E_UNEXPECTED);
    ASSERT_TRUE(window.WaitFor(1, Scaled(5000))) << "the monitor stopped after failures";
    sim->PushFrame(MakeFrame(0x2222, 0x22));
    ASSERT_TRUE(window.WaitFor(2, Scaled(5000)));
    EXPECT_EQ(S_OK, uninit_());
    EXPECT_EQ(0x21, window.received()[0].lParam);
    EXPECT_EQ(0x22, window.received()[1].lParam);
}

// ----------------------------------------------------- bad configuration ---

// Which of two frames pass: one with the custom code 0x40BF, one with 0xFFFF.
TEST_F(DllSoak, UnusableConfigurationsStartAndFilterByTheValueRead)
{
    Install();
    TestWindow window;
    std::string folder = soak::TempFolder() + "halyard-soak-dir-" +
                         std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    IniFile overflow(MaskIni("0x" + std::string(9000, 'F')));
    IniFile missingKey("[Custom]\r\nMask=0x40BF\r\n");
    IniFile binary("[Custom]\r\nMaskCode=16575" + std::string("\x01\x7F\xFE\xFF", 4) + "\r\n");

    struct Case {
        const char* what;
        std::string path;
        bool accepts40BF, acceptsFFFF;
    } cases[] = {
        {"folder", folder, true, true},
        {"missing file", folder + "\\missing.ini", true, true},
        {"missing key", missingKey.path(), true, true},
        {"9,000 hex digits (LONG_MAX)", overflow.path(), false, false},
        {"binary bytes after the number", binary.path(), true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        size_t before = window.received().size();
        size_t reads = sim->GetCallCount();
        ASSERT_EQ(S_OK, init_(window.hwnd(), c.path.c_str()));
        sim->PushFrame(MakeFrame(0x40BF, 0x01));
        sim->PushFrame(MakeFrame(0xFFFF, 0x02));
        DWORD start = GetTickCount();
        while (sim->GetCallCount() < reads + 2 && GetTickCount() - start < Scaled(5000))
            window.Pump(20);
        ASSERT_EQ(S_OK, uninit_());
        window.Pump(0);
        std::vector<LPARAM> keys;
        for (size_t i = before; i < window.received().size(); ++i)
            keys.push_back(window.received()[i].lParam);
        std::vector<LPARAM> expected;
        if (c.accepts40BF)
            expected.push_back(0x01);
        if (c.acceptsFFFF)
            expected.push_back(0x02);
        EXPECT_EQ(expected, keys);
    }
    RemoveDirectoryA(folder.c_str());
}

// ------------------------------------------------------- bad host input ---

TEST_F(DllSoak, NullWindowStartsAMonitorThatNeverReadsAndStopsCleanly)
{
    Install();
    ASSERT_NO_FATAL_FAILURE(WarmUp());
    IniFile ini(MaskIni("0"));
    Counts baseline = soak::Baseline();
    sim->PushFrame(MakeFrame(0x40BF, 0x01));

    ASSERT_EQ(S_OK, init_(nullptr, ini.path()));
    Sleep(Scaled(600));
    EXPECT_EQ(0u, sim->GetCallCount()) << "read with nowhere to deliver";
    EXPECT_EQ(kAlreadyRunning, init_(nullptr, ini.path())) << "still running for the host";
    EXPECT_EQ(S_OK, uninit_());
    EXPECT_EQ(S_FALSE, uninit_());

    Counts after = soak::SettleTo(baseline);
    EXPECT_EQ(baseline.handles, after.handles);
    EXPECT_EQ(baseline.threads, after.threads);
}

TEST_F(DllSoak, WindowDestroyedWhileRunningIsSurvivedAndANewWindowWorks)
{
    Install();
    IniFile ini(MaskIni("0"));
    auto first = std::make_unique<TestWindow>();
    ASSERT_EQ(S_OK, init_(first->hwnd(), ini.path()));
    sim->PushFrame(MakeFrame(0x40BF, 0x01));
    ASSERT_TRUE(first->WaitFor(1, Scaled(3000)));

    first.reset(); // the host's window goes away under the running monitor
    for (BYTE key = 2; key <= 4; ++key)
        sim->PushFrame(MakeFrame(0x40BF, key));
    DWORD start = GetTickCount();
    while (sim->PendingFrames() && GetTickCount() - start < Scaled(5000))
        Sleep(50);
    EXPECT_EQ(0u, sim->PendingFrames()) << "the monitor stopped reading";
    size_t reads = sim->GetCallCount();
    Sleep(Scaled(600));
    EXPECT_GT(sim->GetCallCount(), reads) << "the monitor stopped polling";
    ASSERT_EQ(S_OK, uninit_());

    TestWindow second;
    ASSERT_EQ(S_OK, init_(second.hwnd(), ini.path()));
    sim->PushFrame(MakeFrame(0x40BF, 0x05));
    ASSERT_TRUE(second.WaitFor(1, Scaled(3000)));
    EXPECT_EQ(S_OK, uninit_());
    second.Pump(0);
    ASSERT_EQ(1u, second.received().size()) << "keys read for the old window reached the new one";
    EXPECT_EQ(0x05, second.received()[0].lParam);
}

TEST_F(DllSoak, NullConfigurationPathAcceptsEveryCustomCode)
{
    Install();
    TestWindow window;
    ASSERT_EQ(S_OK, init_(window.hwnd(), nullptr));
    sim->PushFrame(MakeFrame(0x40BF, 0x01));
    sim->PushFrame(MakeFrame(0x0000, 0x02));
    sim->PushFrame(MakeFrame(0xFFFF, 0x03));
    ASSERT_TRUE(window.WaitFor(3, Scaled(5000)));
    EXPECT_EQ(S_OK, uninit_());
}

TEST_F(DllSoak, SecondInitIsRefusedWithoutTouchingTheDeviceOrTheRunningMonitor)
{
    Install();
    TestWindow window, other;
    IniFile ini(MaskIni("0x40BF"));
    IniFile otherIni(MaskIni("0"));
    ASSERT_EQ(S_OK, init_(window.hwnd(), ini.path()));
    Counts running = soak::CountNow();
    unsigned enumerators = sim->EnumeratorsCreated();

    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(kAlreadyRunning, init_(other.hwnd(), otherIni.path()));
    EXPECT_EQ(enumerators, sim->EnumeratorsCreated()) << "the refused call discovered the tuner";
    Counts after = soak::CountNow();
    EXPECT_EQ(running.handles, after.handles);
    EXPECT_EQ(running.threads, after.threads);

    // Still the first window and the first configuration.
    sim->PushFrame(MakeFrame(0x1234, 0x01));
    sim->PushFrame(MakeFrame(0x40BF, 0x02));
    ASSERT_TRUE(window.WaitFor(1, Scaled(5000)));
    window.Pump(300);
    other.Pump(0);
    EXPECT_EQ(S_OK, uninit_());
    ASSERT_EQ(1u, window.received().size());
    EXPECT_EQ(0x02, window.received()[0].lParam);
    EXPECT_TRUE(other.received().empty());
}

TEST_F(DllSoak, UnInitWithoutInitOrRepeatedIsHarmless)
{
    Install();
    TestWindow window;
    IniFile ini(MaskIni("0"));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(S_FALSE, uninit_()) << "before any start";
    ASSERT_NO_FATAL_FAILURE(WarmUp());
    Counts baseline = soak::Baseline();
    ASSERT_EQ(S_OK, init_(window.hwnd(), ini.path()));
    EXPECT_EQ(S_OK, uninit_());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(S_FALSE, uninit_());
    EXPECT_EQ(0, sim->OutstandingReferences());

    ASSERT_EQ(S_OK, init_(window.hwnd(), ini.path())) << "starts again after all that";
    sim->PushFrame(MakeFrame(0x40BF, 0x07));
    EXPECT_TRUE(window.WaitFor(1, Scaled(3000)));
    EXPECT_EQ(S_OK, uninit_());
    Counts after = soak::SettleTo(baseline);
    EXPECT_EQ(baseline.handles, after.handles);
    EXPECT_EQ(baseline.threads, after.threads);
}

} // namespace
