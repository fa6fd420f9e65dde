#include <gtest/gtest.h>

#include <objbase.h>

#include <fstream>
#include <string>

#include "ExeFolder.h"
#include "SimTuner.h"
#include "TestWindow.h"
#include "halyard.h"

namespace {

// Through void*: FARPROC's own signature is not the export's.
template <typename T>
T Export(HMODULE module, LPCSTR name)
{
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Writes an INI file in the temporary folder; removed with the object.
class IniFile {
public:
    explicit IniFile(const std::string& contents)
    {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        path_ = std::string(folder) + "halyard-dll-test-" + std::to_string(GetCurrentProcessId()) + ".ini";
        Write(contents);
    }
    ~IniFile() { DeleteFileA(path_.c_str()); }

    void Write(const std::string& contents)
    {
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << contents;
    }
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

// A host that follows the calling order: COM on its thread, the library
// loaded from the build folder, freed at the end of each test.
class HalyardDll : public ::testing::Test {
protected:
    void SetUp() override
    {
        HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
        Load();
    }

    void Load()
    {
        std::string dll = ExeFolder() + "Halyard.dll";
        module_ = LoadLibraryExA(dll.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        ASSERT_NE(nullptr, module_) << dll << ": error " << GetLastError();
        init_ = Export<PFN_InitRemoteControl>(module_, "InitRemoteControl");
        uninit_ = Export<PFN_UnInitRemoteControl>(module_, "UnInitRemoteControl");
        ASSERT_NE(nullptr, init_);
        ASSERT_NE(nullptr, uninit_);
    }

    void TearDown() override
    {
        if (module_) {
            uninit_(); // a failed test must not unload under a running monitor
            FreeLibrary(module_);
        }
        CoUninitialize();
        EXPECT_EQ(0, simtuner::Simulation::LiveObjects()) << "simulated COM objects left alive";
        EXPECT_EQ(0, simtuner::Simulation::OutstandingReferences());
    }

    HMODULE module_ = nullptr;
    PFN_InitRemoteControl init_ = nullptr;
    PFN_UnInitRemoteControl uninit_ = nullptr;
};

TEST_F(HalyardDll, ExportsByNameAndOrdinal)
{
    EXPECT_EQ(init_, Export<PFN_InitRemoteControl>(module_, MAKEINTRESOURCEA(1)));
    EXPECT_EQ(uninit_, Export<PFN_UnInitRemoteControl>(module_, MAKEINTRESOURCEA(2)));
    EXPECT_EQ(nullptr, GetProcAddress(module_, MAKEINTRESOURCEA(3)));
    EXPECT_EQ(nullptr, GetProcAddress(module_, "_InitRemoteControl@8"));
}

TEST_F(HalyardDll, UnInitRightAfterLoadReturnsSFalse)
{
    EXPECT_EQ(S_FALSE, uninit_());
}

TEST_F(HalyardDll, NoTunerGivesEFailThenSFalse)
{
    TestWindow window;
    IniFile ini("[Custom]\r\nMaskCode=0\r\n");
    // Without the simulation Wine's own enumerator answers, and it lists no tuner.
    EXPECT_EQ(E_FAIL, init_(window.hwnd(), ini.path()));
    EXPECT_EQ(S_FALSE, uninit_());

    simtuner::Config config;
    config.devices.push_back({L"Some Other Tuner"});
    simtuner::Simulation simulation(config);
    ASSERT_EQ(S_OK, simulation.Install());
    EXPECT_EQ(E_FAIL, init_(window.hwnd(), ini.path()));
    EXPECT_EQ(S_FALSE, uninit_());
}

TEST_F(HalyardDll, InitAndUnInitDeliverKeysBetweenThem)
{
    simtuner::Simulation simulation;
    ASSERT_EQ(S_OK, simulation.Install());
    TestWindow window;
    IniFile ini("[Custom]\r\nMaskCode=0x40BF\r\n");

    HRESULT hr = init_(window.hwnd(), ini.path());
    ASSERT_EQ(S_OK, hr) << std::hex << hr;
    simulation.PushFrame(simtuner::MakeFrame(0x40BF, 0x12, 0xED));
    EXPECT_TRUE(window.WaitFor(1, Scaled(5000)));
    EXPECT_EQ(S_OK, uninit_());
    EXPECT_EQ(S_FALSE, uninit_());

    ASSERT_EQ(1u, window.received().size());
    EXPECT_EQ(0u, window.received()[0].wParam);
    EXPECT_EQ(0x12, window.received()[0].lParam);
    EXPECT_EQ(0, simulation.OutstandingReferences()) << "UnInitRemoteControl releases the tuner";
}

TEST_F(HalyardDll, SecondInitWhileRunningIsRefused)
{
    simtuner::Simulation simulation;
    ASSERT_EQ(S_OK, simulation.Install());
    TestWindow window;
    IniFile ini("[Custom]\r\nMaskCode=0\r\n");

    ASSERT_EQ(S_OK, init_(window.hwnd(), ini.path()));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED), init_(window.hwnd(), ini.path()));
    simulation.PushFrame(simtuner::MakeFrame(0x1234, 0x07));
    EXPECT_TRUE(window.WaitFor(1, Scaled(5000))) << "the first start keeps delivering";
    EXPECT_EQ(S_OK, uninit_());
    EXPECT_EQ(S_FALSE, uninit_());
}

TEST_F(HalyardDll, InitWithoutComOnTheCallingThreadFails)
{
    simtuner::Simulation simulation;
    ASSERT_EQ(S_OK, simulation.Install());
    TestWindow window;
    IniFile ini("[Custom]\r\nMaskCode=0\r\n");

    struct Call {
        PFN_InitRemoteControl init;
        HWND window;
        const char* ini;
        HRESULT result;
    } call = {init_, window.hwnd(), ini.path(), S_OK};
    struct Thread {
        static DWORD WINAPI Run(LPVOID param)
        {
            auto* c = static_cast<Call*>(param);
            c->result = c->init(c->window, c->ini);
            return 0;
        }
    };
    HANDLE thread = CreateThread(nullptr, 0, Thread::Run, &call, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);

    EXPECT_EQ(E_FAIL, call.result) << std::hex << call.result;
    EXPECT_EQ(S_FALSE, uninit_());
}

TEST_F(HalyardDll, InitAfterUnInitDiscoversTheTunerAndReadsTheIniFileAgain)
{
    simtuner::Simulation simulation;
    ASSERT_EQ(S_OK, simulation.Install());
    TestWindow window;
    IniFile ini("[Custom]\r\nMaskCode=0x40BF\r\n");

    ASSERT_EQ(S_OK, init_(window.hwnd(), ini.path()));
    simulation.PushFrame(simtuner::MakeFrame(0x40BF, 0x01));
    ASSERT_TRUE(window.WaitFor(1, Scaled(5000)));
    ASSERT_EQ(S_OK, uninit_());
    unsigned enumerators = simulation.EnumeratorsCreated();

    ini.Write("[Custom]\r\nMaskCode=0x1234\r\n");
    ASSERT_EQ(S_OK, init_(window.hwnd(), ini.path()));
    EXPECT_EQ(enumerators + 1, simulation.EnumeratorsCreated()) << "the tuner is discovered anew";
    simulation.PushFrame(simtuner::MakeFrame(0x40BF, 0x02)); // the old custom code: rejected
    simulation.PushFrame(simtuner::MakeFrame(0x1234, 0x03));
    ASSERT_TRUE(window.WaitFor(2, Scaled(5000)));
    window.Pump(300);
    EXPECT_EQ(S_OK, uninit_());

    ASSERT_EQ(2u, window.received().size());
    EXPECT_EQ(0x01, window.received()[0].lParam);
    EXPECT_EQ(0x03, window.received()[1].lParam);
}

TEST_F(HalyardDll, UnloadAfterUnInitLeavesNothingBehind)
{
    simtuner::Simulation simulation;
    ASSERT_EQ(S_OK, simulation.Install());
    TestWindow window;
    IniFile ini("[Custom]\r\nMaskCode=0\r\n");
    for (int cycle = 0; cycle < 3; ++cycle) {
        ASSERT_EQ(S_OK, init_(window.hwnd(), ini.path())) << "cycle " << cycle;
        ASSERT_EQ(S_OK, uninit_()) << "cycle " << cycle;
        FreeLibrary(module_);
        module_ = nullptr;
        ASSERT_NO_FATAL_FAILURE(Load());
    }
    EXPECT_EQ(0, simulation.OutstandingReferences());
}

} // namespace
