#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "IatPatch.h"
#include "TestLogSink.h"
#include "TestWindow.h"
#include "monitor/RemoteControlMonitor.h"

namespace {

const HRESULT kCloseResult = 0x00000007; // a success code no other path returns

// One answer of the scripted device to a read.
struct Step {
    HRESULT result;
    unsigned int key;
    DWORD sleepMs;
};

// A device whose reads follow a script; once the script is used up every read
// gives `after`.
class ScriptedDevice : public RemoteControlMonitor {
public:
    explicit ScriptedDevice(std::vector<Step> script = {}, Step after = {E_FAIL, 0, 0})
        : script_(std::move(script)), after_(after)
    {
        readStarted_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    }

    ~ScriptedDevice() override
    {
        if (monitorThread)
            Stop(); // a failed test must not leave a thread polling a dead object
        CloseHandle(readStarted_);
    }

    HRESULT OpenDevice() override
    {
        ++opens;
        return openResult;
    }

    HRESULT CloseDevice() override
    {
        ++closes;
        if (readInProgress)
            closedDuringRead = true;
        if (clearLastErrorOnClose)
            SetLastError(ERROR_SUCCESS); // as a COM release may
        return kCloseResult;
    }

    HRESULT ReadRemoteCode(unsigned int* keyCode) override
    {
        readInProgress = true;
        Step step = after_;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            readTimes_.push_back(Now());
            if (next_ < script_.size())
                step = script_[next_++];
        }
        ++reads;
        SetEvent(readStarted_);
        if (step.sleepMs)
            Sleep(step.sleepMs);
        if (SUCCEEDED(step.result))
            *keyCode = step.key;
        readInProgress = false;
        return step.result;
    }

    bool WaitForRead(DWORD ms) { return WaitForSingleObject(readStarted_, ms) == WAIT_OBJECT_0; }

    std::vector<LONGLONG> ReadTimes()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return readTimes_;
    }

    HWND window() const { return sinkWindow; }
    const char* path() const { return iniPath; }
    HANDLE thread() const { return monitorThread; }
    HANDLE event() const { return exitEvent; }
    DWORD interval() const { return pollIntervalMs; }

    HRESULT openResult = S_OK;
    bool clearLastErrorOnClose = false;
    std::atomic<int> opens{0}, closes{0}, reads{0};
    std::atomic<bool> readInProgress{false}, closedDuringRead{false};

private:
    std::mutex mutex_;
    std::vector<Step> script_;
    size_t next_ = 0;
    Step after_;
    std::vector<LONGLONG> readTimes_;
    HANDLE readStarted_;
};

DWORD ExitCodeOf(HANDLE thread)
{
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    return code;
}

TEST(RemoteControlMonitor, StartsStoppedWithTheDefaultInterval)
{
    ScriptedDevice device;
    EXPECT_EQ(nullptr, device.window());
    EXPECT_STREQ("", device.path());
    EXPECT_EQ(nullptr, device.thread());
    EXPECT_EQ(nullptr, device.event());
    EXPECT_EQ(250u, device.interval());
}

TEST(RemoteControlMonitor, StopWithoutRunningMonitorReturnsSFalse)
{
    ScriptedDevice device;
    EXPECT_EQ(S_FALSE, device.Stop());
    EXPECT_EQ(0, device.closes) << "nothing was open";

    TestWindow window;
    HRESULT hr = device.Start(window.hwnd(), "C:\\halyard.ini");
    ASSERT_EQ(S_OK, hr) << std::hex << hr;
    EXPECT_EQ(kCloseResult, device.Stop()) << "Stop returns the device's close result";
    EXPECT_EQ(S_FALSE, device.Stop());
    EXPECT_EQ(1, device.closes);
    EXPECT_EQ(nullptr, device.thread());
    EXPECT_EQ(nullptr, device.event());
}

TEST(RemoteControlMonitor, PostsEachKeyCodeToTheWindow)
{
    ScriptedDevice device({}, {S_OK, 0x1A, 0});
    TestWindow window;
    ASSERT_EQ(S_OK, device.Start(window.hwnd(), "C:\\halyard.ini"));

    EXPECT_TRUE(window.WaitFor(3, Scaled(5000))) << "got " << window.received().size();
    EXPECT_EQ(kCloseResult, device.Stop());

    for (const auto& message : window.received()) {
        EXPECT_EQ(0u, message.wParam);
        EXPECT_EQ(0x1A, message.lParam);
    }
    window.Pump(300);
    EXPECT_EQ(static_cast<size_t>(device.reads), window.received().size())
        << "one message for every successful read, none after Stop";
}

TEST(RemoteControlMonitor, FailedReadsPostNothingAndPollingGoesOn)
{
    ScriptedDevice device({{E_FAIL, 1, 0}, {E_POINTER, 2, 0}, {static_cast<HRESULT>(0x80070015), 3, 0},
                           {S_OK, 0x42, 0}});
    TestWindow window;
    ASSERT_EQ(S_OK, device.Start(window.hwnd(), ""));

    ASSERT_TRUE(window.WaitFor(1, Scaled(5000)));
    window.Pump(600);
    device.Stop();

    ASSERT_EQ(1u, window.received().size());
    EXPECT_EQ(0x42, window.received()[0].lParam);
    EXPECT_GE(device.reads, 5) << "reads go on after the script's success";
}

TEST(RemoteControlMonitor, FirstReadComesOneIntervalAfterStart)
{
    ScriptedDevice device;
    TestWindow window;
    LONGLONG started = Now();
    ASSERT_EQ(S_OK, device.Start(window.hwnd(), ""));
    ASSERT_TRUE(device.WaitForRead(Scaled(5000)));
    ASSERT_TRUE(device.WaitForRead(Scaled(5000)));
    device.Stop();

    auto times = device.ReadTimes();
    ASSERT_GE(times.size(), 2u);
    // Lower bounds only: a loaded machine may be late, never early.
    EXPECT_GE(ElapsedMs(started, times[0]), 240.0);
    EXPECT_GE(ElapsedMs(times[0], times[1]), 240.0);
}

TEST(RemoteControlMonitor, StopDuringSlowReadEndsWithoutAnotherRead)
{
    ScriptedDevice device({{S_OK, 0x11, 700}}, {S_OK, 0x22, 0});
    TestWindow window;
    ASSERT_EQ(S_OK, device.Start(window.hwnd(), ""));
    ASSERT_TRUE(device.WaitForRead(Scaled(5000)));

    EXPECT_EQ(kCloseResult, device.Stop());
    EXPECT_EQ(1, device.reads) << "the pending stop is seen at the next wait";
    EXPECT_FALSE(device.closedDuringRead) << "the device was closed under a running read";
    EXPECT_EQ(1, device.closes);

    window.Pump(100);
    ASSERT_EQ(1u, window.received().size()) << "the read that was running still delivers";
    EXPECT_EQ(0x11, window.received()[0].lParam);
}

TEST(RemoteControlMonitor, NullWindowEndsTheThreadAtOnce)
{
    TestLogSink sink(5);
    ScopedLogSink installed(&sink);
    ScriptedDevice device({}, {S_OK, 0x1A, 0});

    ASSERT_EQ(S_OK, device.Start(nullptr, "C:\\halyard.ini"));
    ASSERT_NE(nullptr, device.thread());
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(device.thread(), Scaled(5000)));
    EXPECT_EQ(0xFFFFFFFFu, ExitCodeOf(device.thread()));
    EXPECT_EQ(0, device.reads);
    EXPECT_TRUE(sink.Contains(3, "\tevent sink window handle is invalid!\n"));

    EXPECT_EQ(kCloseResult, device.Stop()) << "still running for Stop, which closes the device";
    EXPECT_EQ(1, device.closes);
}

TEST(RemoteControlMonitor, ConfigurationPathIsCutTo259Characters)
{
    ScriptedDevice device;
    TestWindow window;
    std::string longPath = "C:\\" + std::string(297, 'p');
    ASSERT_EQ(300u, longPath.size());

    ASSERT_EQ(S_OK, device.Start(window.hwnd(), longPath.c_str()));
    device.Stop();
    EXPECT_EQ(longPath.substr(0, 259), device.path());
}

TEST(RemoteControlMonitor, NullConfigurationPathIsEmpty)
{
    ScriptedDevice device;
    TestWindow window;
    ASSERT_EQ(S_OK, device.Start(window.hwnd(), "C:\\old.ini"));
    device.Stop();
    ASSERT_EQ(S_OK, device.Start(window.hwnd(), nullptr));
    EXPECT_STREQ("", device.path());
    device.Stop();
}

TEST(RemoteControlMonitor, FailedOpenLeavesTheMonitorStopped)
{
    TestLogSink sink(5);
    ScopedLogSink installed(&sink);
    ScriptedDevice device;
    device.openResult = static_cast<HRESULT>(0x80040154);

    EXPECT_EQ(static_cast<HRESULT>(0x80040154), device.Start(reinterpret_cast<HWND>(1), ""));
    EXPECT_EQ(nullptr, device.thread());
    EXPECT_EQ(nullptr, device.event());
    EXPECT_TRUE(sink.Contains(2, "Initialize remote ctrl failed!\n"));
    EXPECT_EQ(S_FALSE, device.Stop());
    EXPECT_EQ(0, device.closes) << "a device that did not open is not closed";
}

TEST(RemoteControlMonitor, SecondStartWhileRunningIsRefused)
{
    ScriptedDevice device({}, {S_OK, 0x33, 0});
    TestWindow first, second;
    ASSERT_EQ(S_OK, device.Start(first.hwnd(), "C:\\first.ini"));
    HANDLE thread = device.thread();

    HRESULT hr = device.Start(second.hwnd(), "C:\\second.ini");
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED), hr) << std::hex << hr;
    EXPECT_EQ(1, device.opens);
    EXPECT_EQ(thread, device.thread());
    EXPECT_STREQ("C:\\first.ini", device.path());

    EXPECT_TRUE(first.WaitFor(1, Scaled(5000))) << "the running monitor goes on delivering";
    second.Pump(0);
    EXPECT_TRUE(second.received().empty());
    EXPECT_EQ(kCloseResult, device.Stop());
}

TEST(RemoteControlMonitor, LogsStartAndDeliveryAtTheirLevels)
{
    TestLogSink sink(5);
    ScopedLogSink installed(&sink);
    ScriptedDevice device({{S_OK, 0xAB, 0}});
    TestWindow window;
    ASSERT_EQ(S_OK, device.Start(window.hwnd(), ""));
    ASSERT_TRUE(window.WaitFor(1, Scaled(5000)));
    device.Stop();

    EXPECT_TRUE(sink.Contains(4, "Initialize remote control all done.\n"));
    EXPECT_TRUE(sink.Contains(4, "Begin read remote code thread.\n"));
    EXPECT_TRUE(sink.Contains(5, "\tRC Code: 0x000000AB\n"));
    EXPECT_TRUE(sink.Contains(4, "End read remote code thread.\n"));
}

// Platform failures forced through the test program's import table, which
// holds the monitor's calls since the library is linked in statically.
DWORD forcedError;

HANDLE WINAPI FailingCreateEventA(LPSECURITY_ATTRIBUTES, BOOL, BOOL, LPCSTR)
{
    SetLastError(forcedError);
    return nullptr;
}

HANDLE WINAPI FailingCreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID,
                                  DWORD, LPDWORD)
{
    SetLastError(forcedError);
    return nullptr;
}

struct ForcedFailure {
    const char* function;
    void* replacement;
    const char* message;
};

void PrintTo(const ForcedFailure& failure, std::ostream* os)
{
    *os << failure.function;
}

class StartFailure : public ::testing::TestWithParam<ForcedFailure> {};

TEST_P(StartFailure, ReportsTheErrorOfTheFailedCallNotOfTheCleanUp)
{
    TestLogSink sink(5);
    ScopedLogSink installed(&sink);
    ScriptedDevice device;
    device.clearLastErrorOnClose = true;
    TestWindow window;

    forcedError = ERROR_NOT_ENOUGH_MEMORY;
    HRESULT hr;
    {
        IatPatch patch(GetModuleHandleA(nullptr), "KERNEL32.dll", GetParam().function,
                       GetParam().replacement);
        ASSERT_TRUE(patch.applied());
        hr = device.Start(window.hwnd(), "");
    }
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY), hr) << std::hex << hr;
    EXPECT_EQ(1, device.closes) << "the opened device is closed again";
    EXPECT_EQ(nullptr, device.thread());
    EXPECT_EQ(nullptr, device.event());
    EXPECT_TRUE(sink.Contains(2, GetParam().message));
    EXPECT_EQ(S_FALSE, device.Stop());
}

TEST_P(StartFailure, NeverReportsSuccessWithoutAnErrorCode)
{
    ScriptedDevice device;
    TestWindow window;

    forcedError = ERROR_SUCCESS;
    HRESULT hr;
    {
        IatPatch patch(GetModuleHandleA(nullptr), "KERNEL32.dll", GetParam().function,
                       GetParam().replacement);
        ASSERT_TRUE(patch.applied());
        hr = device.Start(window.hwnd(), "");
    }
    EXPECT_EQ(E_FAIL, hr) << std::hex << hr;
    EXPECT_EQ(nullptr, device.thread());
    EXPECT_EQ(S_FALSE, device.Stop());
}

INSTANTIATE_TEST_SUITE_P(
    ForcedFailures, StartFailure,
    ::testing::Values(ForcedFailure{"CreateEventA", reinterpret_cast<void*>(FailingCreateEventA),
                                    "Create exit event handle failed!\n"},
                      ForcedFailure{"CreateThread", reinterpret_cast<void*>(FailingCreateThread),
                                    "Create monitor thread failed!\n"}),
    [](const ::testing::TestParamInfo<ForcedFailure>& info) {
        return std::string(info.param.function);
    });

} // namespace
