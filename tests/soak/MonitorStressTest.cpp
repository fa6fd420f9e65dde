// Stress and fault tests of the QBOX remote control linked into the test, with
// the simulated tuner: many stops at random moments, failing, slow and
// garbage-returning drivers, and generated configuration values checked
// against a reference model of the parsing rules. A short poll interval (a
// protected field, set by the subclass) packs hundreds of polls into seconds;
// Start, Stop, the poll loop and the device are the library's own code.

#include <gtest/gtest.h>

#include <objbase.h>

#include <climits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "SimTuner.h"
#include "SoakSupport.h"
#include "TestWindow.h"
#include "qbox/QBoxRemoteControl.h"

namespace {

using simtuner::Frame;
using simtuner::MakeFrame;
using simtuner::Simulation;
using soak::Counts;
using soak::IniFile;
using soak::MaskIni;

const LONG kStaleMask = 777;

class FastQBox : public QBoxRemoteControl {
public:
    explicit FastQBox(DWORD intervalMs = 5) { pollIntervalMs = intervalMs; }
    ~FastQBox() override
    {
        if (monitorThread)
            Stop(); // a failed test must not leave a thread polling a dead object
    }
    using QBoxRemoteControl::maskCode;
    HANDLE thread() const { return monitorThread; }
    void SetIniPath(const std::string& path) { lstrcpynA(iniPath, path.c_str(), MAX_PATH); }
    bool Running() const { return monitorThread && WaitForSingleObject(monitorThread, 0) == WAIT_TIMEOUT; }
};

class MonitorStress : public ::testing::Test {
protected:
    void SetUp() override
    {
        HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr;
        sim.reset(new Simulation());
        ASSERT_EQ(S_OK, sim->Install());
    }

    void TearDown() override
    {
        sim.reset();
        CoUninitialize();
        EXPECT_EQ(0, Simulation::LiveObjects()) << "simulated objects left alive";
        EXPECT_EQ(0, Simulation::OutstandingReferences()) << "references left held";
    }

    // Waits until the driver has answered count reads in all.
    bool WaitForReads(size_t count, DWORD ms, TestWindow* window = nullptr)
    {
        DWORD start = GetTickCount();
        while (sim->GetCallCount() < count) {
            if (GetTickCount() - start > Scaled(ms))
                return false;
            if (window)
                window->Pump(5);
            else
                Sleep(5);
        }
        return true;
    }

    std::unique_ptr<Simulation> sim;
};

// ------------------------------------------------- stops at random moments ---

TEST_F(MonitorStress, FiveHundredStopsAtRandomMomentsNeverReadOrPostAfterReturning)
{
    unsigned seed = soak::Seed(501);
    SCOPED_TRACE("seed " + std::to_string(seed));
    soak::BusyDevice device(seed, 25);
    device.Attach(*sim);
    std::mt19937 rng(seed + 1);
    TestWindow window;
    IniFile ini(MaskIni("0x40BF"));
    FastQBox qbox(5);

    ASSERT_EQ(S_OK, qbox.Start(window.hwnd(), ini.path()));
    ASSERT_EQ(S_OK, qbox.Stop());
    window.Pump(0);
    Counts baseline = soak::Baseline();

    for (int round = 0; round < 500; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_EQ(S_OK, qbox.Start(window.hwnd(), ini.path()));
        Sleep(rng() % 40); // before the first read, between reads, or inside a slow one
        ASSERT_EQ(S_OK, qbox.Stop());
        size_t readsAtReturn = sim->GetCallCount();
        ASSERT_EQ(nullptr, qbox.thread());

        if (round % 50 == 49)
            Sleep(30); // several poll intervals: no late read may come
        EXPECT_EQ(readsAtReturn, sim->GetCallCount()) << "a read after Stop returned";
        window.Pump(0);
        ASSERT_NO_FATAL_FAILURE(soak::ExpectMessagesMatchReads(window, readsAtReturn));
    }
    EXPECT_GT(sim->GetCallCount(), 500u) << "the rounds hardly ever read";
    Counts after = soak::SettleTo(baseline);
    EXPECT_EQ(baseline.handles, after.handles);
    EXPECT_EQ(baseline.threads, after.threads);
}

// ------------------------------------------------------------ driver faults ---

// Each read fills all 288 bytes with noise and puts one of several kinds of
// frame at 30..33; what reaches the window must follow from those four bytes
// alone.
TEST_F(MonitorStress, RandomDriverBuffersAreJudgedByBytes30To33Alone)
{
    unsigned seed = soak::Seed(288);
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    sim->SetBufferFiller([&rng](BYTE* buffer, DWORD length) {
        for (DWORD i = 0; i < length; ++i)
            buffer[i] = static_cast<BYTE>(rng());
        switch (rng() % 5) {
        case 0: // the configured remote
            buffer[30] = 0x40;
            buffer[31] = 0xBF;
            break;
        case 1: // no code
            buffer[30] = buffer[31] = buffer[32] = buffer[33] = 0xFF;
            break;
        case 2: // almost no code
            buffer[30] = buffer[31] = buffer[32] = 0xFF;
            buffer[33] = static_cast<BYTE>(rng() % 0xFF);
            break;
        default: // noise throughout
            break;
        }
    });

    const struct {
        const char* mask;
        LONG value;
    } masks[] = {{"0x40BF", 0x40BF}, {"0", 0}};
    for (const auto& m : masks) {
        SCOPED_TRACE(std::string("MaskCode=") + m.mask);
        TestWindow window;
        IniFile ini(MaskIni(m.mask));
        FastQBox qbox(2);
        sim->ClearGetCalls();
        ASSERT_EQ(S_OK, qbox.Start(window.hwnd(), ini.path()));
        bool enough = WaitForReads(300, 20000, &window);
        ASSERT_EQ(S_OK, qbox.Stop());
        ASSERT_TRUE(enough);
        window.Pump(0);

        std::vector<LPARAM> expected;
        for (const simtuner::GetRecord& call : sim->GetCalls()) {
            ASSERT_TRUE(call.instanceZeroed) << "the last read's noise was passed to the driver";
            const Frame& f = call.frame;
            bool noCode = f[0] == 0xFF && f[1] == 0xFF && f[2] == 0xFF && f[3] == 0xFF;
            LONG custom = (f[0] << 8) | f[1];
            if (!noCode && (m.value == 0 || custom == m.value))
                expected.push_back(f[2]);
        }
        std::vector<LPARAM> keys;
        for (const TestWindow::Received& r : window.received()) {
            EXPECT_EQ(0u, r.wParam);
            keys.push_back(r.lParam);
        }
        EXPECT_EQ(expected, keys);
        EXPECT_GT(expected.size(), 20u);
    }
    sim->SetBufferFiller(nullptr);
}

// Reads fail in bursts with assorted errors and are now and then slower than
// the interval; every frame the driver queued still arrives once, in order.
TEST_F(MonitorStress, FailingAndSlowReadsLoseNoFrameAndKeepTheMonitorRunning)
{
    unsigned seed = soak::Seed(4242);
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    const HRESULT errors[] = {E_FAIL, E_UNEXPECTED, E_OUTOFMEMORY,
                              HRESULT_FROM_WIN32(ERROR_GEN_FAILURE),
                              HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED)};
    TestWindow window;
    IniFile ini(MaskIni("0"));
    FastQBox qbox(5);

    // A driver that fails every read, for a good while.
    sim->SetGetResult(HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED));
    ASSERT_EQ(S_OK, qbox.Start(window.hwnd(), ini.path()));
    ASSERT_TRUE(WaitForReads(40, 10000, &window));
    EXPECT_TRUE(window.received().empty());
    EXPECT_TRUE(qbox.Running()) << "failed reads ended the monitor";
    sim->SetGetResult(S_OK);

    std::vector<LPARAM> pushed;
    for (int burst = 0; burst < 60; ++burst) {
        sim->FailNextGets(rng() % 4, errors[rng() % 5]);
        sim->SetGetDelay(rng() % 4 == 0 ? 5 + rng() % 20 : 0);
        for (unsigned i = rng() % 3; i > 0; --i) {
            BYTE key = static_cast<BYTE>(pushed.size());
            sim->PushFrame(MakeFrame(static_cast<WORD>(rng()), key));
            pushed.push_back(key);
        }
        window.Pump(rng() % 30);
    }
    sim->SetGetDelay(0);
    DWORD start = GetTickCount();
    while ((sim->PendingFrames() || window.received().size() < pushed.size()) &&
           GetTickCount() - start < Scaled(10000))
        window.Pump(10);
    EXPECT_TRUE(qbox.Running());
    ASSERT_EQ(S_OK, qbox.Stop());
    window.Pump(0);

    std::vector<LPARAM> keys;
    for (const TestWindow::Received& r : window.received())
        keys.push_back(r.lParam);
    EXPECT_EQ(pushed, keys);
}

// ---------------------------------------------------- configuration values ---

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

bool Contains(const std::string& text, const char* part)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == part[0] && text[i + 1] == part[1])
            return true;
    }
    return false;
}

// The rules for the text of MaskCode: base 16 when "0x" or "0X" appears
// anywhere, else base 10; leading blanks and one sign skipped, in base 16 one
// "0x"/"0X" too; digits up to the first that is not one of the base; no
// digits gives 0; out of range gives LONG_MAX or LONG_MIN. The active code
// page has single-byte characters only (checked by the test).
LONG ModelMask(const std::string& value)
{
    int base = Contains(value, "0x") || Contains(value, "0X") ? 16 : 10;
    size_t i = 0;
    while (i < value.size() && IsBlank(value[i]))
        ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-'))
        negative = value[i++] == '-';
    if (base == 16 && i + 1 < value.size() && value[i] == '0' &&
        (value[i + 1] == 'x' || value[i + 1] == 'X'))
        i += 2;
    const long long limit = 1LL << 31;
    long long magnitude = 0;
    for (; i < value.size() && DigitValue(value[i]) < base; ++i)
        magnitude = std::min(limit, magnitude * base + DigitValue(value[i]));
    if (negative)
        return static_cast<LONG>(-magnitude);
    return magnitude >= limit ? LONG_MAX : static_cast<LONG>(magnitude);
}

// The value as the platform hands it over: the same call, buffer and default
// the library uses.
std::string PlatformValue(const char* path)
{
    char value[260];
    memset(value, 0, sizeof(value));
    GetPrivateProfileStringA("Custom", "MaskCode", "0", value, sizeof(value), path);
    return value;
}

LONG LibraryMask(const std::string& path, HRESULT* result)
{
    FastQBox qbox;
    qbox.SetIniPath(path);
    qbox.maskCode = kStaleMask;
    *result = qbox.OpenDevice();
    qbox.CloseDevice();
    return qbox.maskCode;
}

template <size_t N>
std::string Bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}

bool SingleByteCodePage()
{
    CPINFO info;
    return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
}

std::string GenerateValue(std::mt19937& rng)
{
    static const char* const tokens[] = {
        "0", "1", "7", "9", "a", "F", "f", "g", "z", "x", "X", "0x", "0X", " ", "\t",
        "+", "-", "8000000", "FFFFFFFF", "2147483647", "2147483648", "4294967295",
        "99999999999", ";", "=", "\"", "'", "[", "]", "\\", "0x0x", "\xE9", "\xA0",
        "\xEF\xBC\x91", "\x01", "\x1F", "\x7F", "\xFF"};
    const size_t count = sizeof(tokens) / sizeof(tokens[0]);
    std::string value;
    unsigned parts = rng() % 8;
    for (unsigned p = 0; p < parts; ++p) {
        const char* token = tokens[rng() % count];
        unsigned repeat = rng() % 16 == 0 ? 20 + rng() % 200 : 1;
        for (unsigned r = 0; r < repeat; ++r)
            value += token;
    }
    return value;
}

TEST_F(MonitorStress, GeneratedMaskCodesFollowTheParsingRules)
{
    ASSERT_TRUE(SingleByteCodePage()) << "the model assumes a single-byte code page";
    unsigned seed = soak::Seed(1260);
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    for (int n = 0; n < 1500; ++n) {
        std::string value = GenerateValue(rng);
        const char* equals = rng() % 4 ? "=" : " = ";
        IniFile ini("[Custom]\r\nMaskCode" + std::string(equals) + value + "\r\n");
        std::string read = PlatformValue(ini.path());
        ASSERT_LE(read.size(), 259u);
        HRESULT hr;
        LONG mask = LibraryMask(ini.path(), &hr);
        ASSERT_EQ(S_OK, hr);
        ASSERT_EQ(ModelMask(read), mask) << "case " << n << ": MaskCode" << equals << value
                                         << "\nread as: " << read;
    }
}

TEST_F(MonitorStress, HardConfigurationCasesFollowTheParsingRules)
{
    ASSERT_TRUE(SingleByteCodePage());
    const struct {
        const char* what;
        std::string contents;
        LONG expected;
    } cases[] = {
        {"no section", "MaskCode=0x40BF\r\n", 0},
        {"another section", "[Other]\r\nMaskCode=0x40BF\r\n", 0},
        {"no key", "[Custom]\r\nMaskCodes=0x40BF\r\n", 0},
        {"empty value", MaskIni(""), 0},
        {"blanks only", MaskIni(" \t "), 0},
        {"10,000 nines", MaskIni(std::string(10000, '9')), LONG_MAX},
        {"10,000 hex digits", MaskIni("0x" + std::string(9998, 'f')), LONG_MAX},
        // Only the first 259 characters are read: a 0x after them does not count...
        {"0x after 10,000 characters", MaskIni("10" + std::string(9996, 'z') + "0x"), 10},
        // ...nor do digits after them.
        {"digits after 259 characters", MaskIni("0x" + std::string(256, '0') + "7" +
                                               std::string(9000, 'F')), 7},
        {"decimal digits after 259 characters", MaskIni(std::string(258, '0') + "5" +
                                                       std::string(9000, '9')), 5},
        {"largest", MaskIni("2147483647"), LONG_MAX},
        {"one past the largest", MaskIni("2147483648"), LONG_MAX},
        {"smallest", MaskIni("-2147483648"), LONG_MIN},
        {"one past the smallest", MaskIni("-2147483649"), LONG_MIN},
        {"negative hex overflow", MaskIni("-0x80000001"), LONG_MIN},
        {"huge negative", MaskIni("-" + std::string(300, '9')), LONG_MIN},
        {"two signs", MaskIni("+-5"), 0},
        {"control bytes after the number", MaskIni("12" + std::string("\x01\x02\x1B\x7F", 4)), 12},
        {"bytes above 0x7F after the number", MaskIni("0x1F\xE9\xFF\x80"), 31},
        {"a NUL in the line", MaskIni(Bytes("12\0" "0x34")), -1},
        {"fullwidth digits in UTF-8", MaskIni("\xEF\xBC\x91\xEF\xBC\x92"), 0},
        {"no-break space before the number", MaskIni("\xA0" "16575"), -1},
        {"Latin-1 letters", MaskIni("\xC0\xC9\xD6"), 0},
        {"carriage return without line feed", "[Custom]\rMaskCode=0x10\r", -1},
        {"UTF-8 byte order mark", "\xEF\xBB\xBF" + MaskIni("0x40BF"), -1},
        {"random binary", Bytes("\x00\xFF\x10\x80[Custom]\x00\r\n\x7F" "MaskCode=\x05\x06"), -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        IniFile ini(c.contents);
        std::string read = PlatformValue(ini.path());
        HRESULT hr;
        LONG mask = LibraryMask(ini.path(), &hr);
        ASSERT_EQ(S_OK, hr);
        EXPECT_EQ(ModelMask(read), mask) << "read as: " << read;
        if (c.expected != -1) { // -1: whatever the platform makes of the file
            EXPECT_EQ(c.expected, mask);
        }
    }
}

TEST_F(MonitorStress, UnusableConfigurationPathsGiveTheDefault)
{
    std::string folder = soak::TempFolder() + "halyard-soak-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const std::string paths[] = {
        folder,                              // a folder
        folder + "\\",                       // a folder, with its separator
        folder + "\\missing.ini",            // no such file
        folder + "\\missing\\deeper.ini",    // no such folder
        "",                                  // nothing
        "\\\\?\\" + folder + "\\x.ini",      // long-path syntax, no file
        std::string("\xE9\xFF\x01.ini"),     // odd bytes
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        HRESULT hr;
        EXPECT_EQ(0, LibraryMask(path, &hr));
        EXPECT_EQ(S_OK, hr);
    }
    RemoveDirectoryA(folder.c_str());
}

// Paths go through Start, which keeps at most 259 characters of them.
TEST_F(MonitorStress, PathsOf259And300CharactersAreReadUpTo259)
{
    std::string folder = soak::TempFolder() + "halyard-soak-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    std::string path259 = folder + "\\";
    ASSERT_LT(path259.size(), 259u - 5);
    path259 += std::string(259 - path259.size() - 4, 'n') + ".ini";
    ASSERT_EQ(259u, path259.size());
    ASSERT_TRUE(soak::WriteFileBytes(path259, MaskIni("0x1111")));

    TestWindow window;
    const struct {
        std::string path;
        LONG expected;
    } cases[] = {
        {path259, 0x1111},
        {path259 + std::string(41, 'x'), 0x1111}, // 300 characters, cut to the file above
        {path259.substr(0, 258) + std::string(42, 'y'), 0}, // cut to a file that is not there
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.path.size()) + " characters");
        FastQBox qbox(1000);
        qbox.maskCode = kStaleMask;
        ASSERT_EQ(S_OK, qbox.Start(window.hwnd(), c.path.c_str()));
        ASSERT_EQ(S_OK, qbox.Stop());
        EXPECT_EQ(c.expected, qbox.maskCode);
    }
    DeleteFileA(path259.c_str());
    RemoveDirectoryA(folder.c_str());
}

} // namespace
