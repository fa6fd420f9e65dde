#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "SimFixture.h"
#include "TestWindow.h"
#include "TraceCapture.h"
#include "halyard.h"
#include "qbox/QBoxRemoteControl.h"

namespace {

using simtuner::Frame;
using simtuner::Simulation;

const GUID kRemoteCodeSet = {
    0xC6EFE5EB, 0x855A, 0x4F1B, {0xB7, 0xAA, 0x87, 0xB5, 0xE1, 0xDC, 0x41, 0x13}};
const unsigned kUntouchedKey = 0xDEADBEEF;
const LONG kStaleMask = 777;

// Reaches the device's protected state; the tests drive it without a thread.
class QBox : public QBoxRemoteControl {
public:
    using QBoxRemoteControl::maskCode;
    using QBoxRemoteControl::propertySet;
    void SetIniPath(const std::string& path) { lstrcpynA(iniPath, path.c_str(), MAX_PATH); }
};

// An INI file in the temporary folder, removed again at the end.
class TempIni {
public:
    explicit TempIni(const char* contents)
    {
        char folder[MAX_PATH];
        GetTempPathA(sizeof(folder), folder);
        char name[MAX_PATH];
        GetTempFileNameA(folder, "hly", 0, name);
        path_ = name;
        FILE* file = fopen(name, "wb");
        if (file) {
            fputs(contents, file);
            fclose(file);
        }
    }
    ~TempIni() { DeleteFileA(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

std::string MaskIni(const std::string& value)
{
    return "[Custom]\r\nMaskCode=" + value + "\r\n";
}

class QBoxTest : public SimTest {};

struct MaskCase {
    const char* value;
    LONG expected;
};

const MaskCase kMasks[] = {
    {"0x40BF", 16575},
    {"16575", 16575},
    {"40BF", 40}, // no prefix: decimal, stops at B
    {"0X40bf", 16575},
    {"", 0},
    {"10x5", 16}, // contains 0x, so hexadecimal; stops at the x
    {"0xFFFFFFFF", 2147483647},
    {"0xFFFF", 65535},
    {"-0x10", -16},
    {"   0x40BF", 16575},
    {"+16575", 16575},
    {"4294967296", 2147483647},
    {"-99999999999", -2147483647 - 1},
    {"0x", 0},
    {"BF40", 0},
    {"16575 ; remote A", 16575},
};

TEST_F(QBoxTest, MaskCodeIsParsedAsDecimalOrAsHexadecimalWhenItContains0x)
{
    Install();
    for (const MaskCase& c : kMasks) {
        SCOPED_TRACE(std::string("MaskCode=") + c.value);
        TempIni ini(MaskIni(c.value).c_str());
        QBox qbox;
        qbox.SetIniPath(ini.path());
        qbox.maskCode = kStaleMask;
        HRESULT hr = qbox.OpenDevice();
        ASSERT_EQ(S_OK, hr) << Hr(hr);
        EXPECT_EQ(c.expected, qbox.maskCode);
        hr = qbox.CloseDevice();
        EXPECT_EQ(S_OK, hr) << Hr(hr);
    }
}

TEST_F(QBoxTest, MissingConfigurationAcceptsEveryCustomCode)
{
    Install();
    TempIni otherKey("[Custom]\r\nMask=0x40BF\r\n[Other]\r\nMaskCode=0x40BF\r\n");
    const std::string paths[] = {otherKey.path(), otherKey.path() + ".missing"};
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        QBox qbox;
        qbox.SetIniPath(path);
        qbox.maskCode = kStaleMask;
        HRESULT hr = qbox.OpenDevice();
        ASSERT_EQ(S_OK, hr) << Hr(hr);
        EXPECT_EQ(0, qbox.maskCode);
    }
}

struct FrameCase {
    LONG mask;
    Frame frame;
    HRESULT expected;
    unsigned key;
    std::vector<std::string> trace;
};

const std::string kNoMatch = "Custom code not match!\n";

const FrameCase kFrames[] = {
    {16575, {0x40, 0xBF, 0x12, 0xED}, S_OK, 0x12, {"QBox remote code:0x40BF12ED!\n"}},
    {16575, {0x00, 0xFF, 0x12, 0xED}, E_FAIL, kUntouchedKey,
     {"QBox remote code:0x0FF12ED!\n", kNoMatch}},
    {0, {0x00, 0xFF, 0x12, 0xED}, S_OK, 0x12, {"QBox remote code:0x0FF12ED!\n"}},
    {16575, {0x40, 0xBF, 0x00, 0x00}, S_OK, 0x00, {"QBox remote code:0x40BF00!\n"}},
    {0, {0xFF, 0xFF, 0xFF, 0xFF}, E_FAIL, kUntouchedKey, {}},
    {65535, {0xFF, 0xFF, 0xFF, 0xFF}, E_FAIL, kUntouchedKey, {}},
    {0, {0xFF, 0xFF, 0xFF, 0x00}, S_OK, 0xFF, {"QBox remote code:0xFFFFFF0!\n"}},
    {65535, {0xFF, 0xFF, 0xFF, 0x00}, S_OK, 0xFF, {"QBox remote code:0xFFFFFF0!\n"}},
    {40, {0x00, 0x28, 0x05, 0xFA}, S_OK, 0x05, {"QBox remote code:0x0285FA!\n"}},
    {40, {0x40, 0xBF, 0x05, 0xFA}, E_FAIL, kUntouchedKey, {"QBox remote code:0x40BF5FA!\n", kNoMatch}},
    // Outside 0..65535 no custom code can match.
    {65536, {0x00, 0x00, 0x01, 0xFE}, E_FAIL, kUntouchedKey, {"QBox remote code:0x001FE!\n", kNoMatch}},
    {2147483647, {0xFF, 0xFF, 0x01, 0xFE}, E_FAIL, kUntouchedKey,
     {"QBox remote code:0xFFFF1FE!\n", kNoMatch}},
    {-16, {0xFF, 0xF0, 0x01, 0xFE}, E_FAIL, kUntouchedKey,
     {"QBox remote code:0xFFF01FE!\n", kNoMatch}},
};

TEST_F(QBoxTest, FramesAreFilteredByCustomCodeAndTraced)
{
    Install();
    QBox qbox;
    HRESULT hr = qbox.OpenDevice();
    ASSERT_EQ(S_OK, hr) << Hr(hr);
    TraceCapture trace;
    for (const FrameCase& c : kFrames) {
        SCOPED_TRACE(::testing::Message() << "maskCode " << c.mask << ", frame " << std::hex
                                          << int(c.frame[0]) << ' ' << int(c.frame[1]) << ' '
                                          << int(c.frame[2]) << ' ' << int(c.frame[3]));
        qbox.maskCode = c.mask;
        sim->PushFrame(c.frame);
        trace.Clear();
        unsigned key = kUntouchedKey;
        hr = qbox.ReadRemoteCode(&key);
        // Taken first: a failed expectation is itself written to the debugger output.
        std::vector<std::string> lines = trace.Lines();
        EXPECT_EQ(c.expected, hr) << Hr(hr);
        EXPECT_EQ(c.key, key);
        EXPECT_EQ(c.trace, lines);
    }
}

TEST_F(QBoxTest, ReadsTheRemoteCodePropertyOncePerReadWithOneZeroedBuffer)
{
    Install();
    // Every byte but the frame's is noise, and the driver leaves it in the
    // buffer: the next read must still start from zeros.
    sim->SetBufferFiller([](BYTE* buffer, DWORD length) {
        for (DWORD i = 0; i < length; ++i)
            buffer[i] = static_cast<BYTE>(i * 37 + 11);
        const BYTE frame[] = {0x40, 0xBF, 0x12, 0xED};
        memcpy(buffer + 30, frame, sizeof(frame));
    });
    QBox qbox;
    HRESULT hr = qbox.OpenDevice();
    ASSERT_EQ(S_OK, hr) << Hr(hr);
    for (int read = 0; read < 2; ++read) {
        unsigned key = kUntouchedKey;
        hr = qbox.ReadRemoteCode(&key);
        EXPECT_EQ(S_OK, hr) << Hr(hr);
        EXPECT_EQ(0x12u, key);
    }

    std::vector<simtuner::GetRecord> calls = sim->GetCalls();
    ASSERT_EQ(2u, calls.size());
    for (const simtuner::GetRecord& call : calls) {
        EXPECT_TRUE(IsEqualGUID(kRemoteCodeSet, call.propertySet));
        EXPECT_EQ(1u, call.propertyId);
        EXPECT_NE(nullptr, call.instanceData);
        EXPECT_EQ(call.instanceData, call.propertyData) << "one buffer serves as both";
        EXPECT_EQ(288u, call.instanceLength);
        EXPECT_EQ(288u, call.propertyLength);
        EXPECT_TRUE(call.instanceZeroed);
        EXPECT_TRUE(call.returnedCountGiven);
        EXPECT_EQ(GetCurrentThreadId(), call.threadId);
    }
}

TEST_F(QBoxTest, FailedGetPassesItsResultThroughAndKeepsTheFrame)
{
    Install();
    QBox qbox;
    HRESULT hr = qbox.OpenDevice();
    ASSERT_EQ(S_OK, hr) << Hr(hr);
    TraceCapture trace;
    const HRESULT failure = HRESULT_FROM_WIN32(ERROR_GEN_FAILURE);
    sim->PushFrame(simtuner::MakeFrame(0x40BF, 0x12, 0xED));
    sim->FailNextGets(2, failure);
    for (int read = 0; read < 2; ++read) {
        unsigned key = kUntouchedKey;
        hr = qbox.ReadRemoteCode(&key);
        EXPECT_EQ(failure, hr) << Hr(hr);
        EXPECT_EQ(kUntouchedKey, key);
    }
    EXPECT_TRUE(trace.Lines().empty());

    unsigned key = kUntouchedKey;
    hr = qbox.ReadRemoteCode(&key);
    EXPECT_EQ(S_OK, hr) << Hr(hr);
    EXPECT_EQ(0x12u, key);

    sim->SetGetResult(E_UNEXPECTED);
    key = kUntouchedKey;
    hr = qbox.ReadRemoteCode(&key);
    EXPECT_EQ(E_UNEXPECTED, hr) << Hr(hr);
    EXPECT_EQ(kUntouchedKey, key);
}

TEST_F(QBoxTest, ReadWhileClosedGivesEPointer)
{
    Install();
    QBox qbox;
    unsigned key = kUntouchedKey;
    HRESULT hr = qbox.ReadRemoteCode(&key);
    EXPECT_EQ(E_POINTER, hr) << Hr(hr) << " before any open";

    hr = qbox.OpenDevice();
    ASSERT_EQ(S_OK, hr) << Hr(hr);
    hr = qbox.CloseDevice();
    EXPECT_EQ(S_OK, hr) << Hr(hr);
    hr = qbox.ReadRemoteCode(&key);
    EXPECT_EQ(E_POINTER, hr) << Hr(hr) << " after close";
    EXPECT_EQ(kUntouchedKey, key);
    EXPECT_EQ(0u, sim->GetCallCount());
    hr = qbox.CloseDevice();
    EXPECT_EQ(S_OK, hr) << Hr(hr) << " closing twice";
}

TEST_F(QBoxTest, OpeningAgainReleasesTheFirstTuner)
{
    Install();
    QBox qbox;
    for (int open = 1; open <= 2; ++open) {
        HRESULT hr = qbox.OpenDevice();
        ASSERT_EQ(S_OK, hr) << Hr(hr);
        EXPECT_EQ(1, Simulation::OutstandingReferences()) << "after open " << open;
        EXPECT_EQ(1, Simulation::LiveObjects()) << "after open " << open;
    }
    EXPECT_EQ(2u, sim->EnumeratorsCreated()) << "each open discovers the tuner anew";
    HRESULT hr = qbox.CloseDevice();
    EXPECT_EQ(S_OK, hr) << Hr(hr);
    EXPECT_EQ(0, Simulation::OutstandingReferences());
}

TEST_F(QBoxTest, OpenWithoutUsableTunerFailsWithoutReadingTheConfiguration)
{
    simtuner::Device noPropertySet = Named(L"QBOX DVBS Tuner");
    noPropertySet.noPropertySet = true;
    simtuner::Config failingEnumeration = simtuner::OneTuner();
    failingEnumeration.classEnumResult = E_OUTOFMEMORY;
    const struct {
        const char* what;
        simtuner::Config config;
    } cases[] = {
        {"no devices", simtuner::Config()},
        {"no property set", Devices({noPropertySet})},
        {"enumeration fails", failingEnumeration},
    };
    TempIni ini(MaskIni("0x40BF").c_str());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Install(c.config);
        QBox qbox;
        qbox.SetIniPath(ini.path());
        qbox.maskCode = kStaleMask;
        HRESULT hr = qbox.OpenDevice();
        EXPECT_EQ(E_FAIL, hr) << Hr(hr);
        EXPECT_EQ(nullptr, qbox.propertySet);
        EXPECT_EQ(kStaleMask, qbox.maskCode);
        EXPECT_EQ(0, Simulation::OutstandingReferences());
    }
}

TEST_F(QBoxTest, KeysArriveAtTheWindowFromTheMonitorThread)
{
    Install();
    TempIni ini(MaskIni("0x40BF").c_str());
    TestWindow window;
    ASSERT_NE(nullptr, window.hwnd());
    QBoxRemoteControl qbox;
    HRESULT hr = qbox.Start(window.hwnd(), ini.path().c_str());
    ASSERT_EQ(S_OK, hr) << Hr(hr);

    sim->PushFrame(simtuner::MakeFrame(0x40BF, 0x12, 0xED));
    sim->PushFrame(simtuner::MakeFrame(0x00FF, 0x34, 0xCB)); // another remote
    sim->PushFrame(simtuner::MakeFrame(0x40BF, 0x56, 0xA9));
    EXPECT_TRUE(window.WaitFor(2, Scaled(3000)));
    // One more poll after the queue ran dry shows nothing else was posted.
    DWORD start = GetTickCount();
    while (sim->PendingFrames() && GetTickCount() - start < Scaled(3000))
        window.Pump(50);
    window.Pump(400);

    hr = qbox.Stop();
    EXPECT_EQ(S_OK, hr) << Hr(hr);
    EXPECT_EQ(0, Simulation::OutstandingReferences()) << "Stop closes the device";

    const std::vector<TestWindow::Received>& received = window.received();
    ASSERT_EQ(2u, received.size());
    EXPECT_EQ(0u, received[0].wParam);
    EXPECT_EQ(0x12, received[0].lParam);
    EXPECT_EQ(0u, received[1].wParam);
    EXPECT_EQ(0x56, received[1].lParam);

    std::vector<simtuner::GetRecord> calls = sim->GetCalls();
    ASSERT_GE(calls.size(), 3u);
    for (const simtuner::GetRecord& call : calls) {
        EXPECT_NE(GetCurrentThreadId(), call.threadId);
        EXPECT_EQ(calls[0].threadId, call.threadId) << "one monitor thread makes every read";
    }
}

} // namespace
