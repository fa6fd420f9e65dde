#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimFixture.h"
#include "TestWindow.h"

namespace {

using simtuner::Press;

struct ScriptCase {
    const char* text;
    bool ok;
    std::vector<Press> presses; // when ok
    const char* errorStart;     // when not
};

const ScriptCase kScripts[] = {
    {"", true, {}, nullptr},
    {"# only a comment\n\n   \n", true, {}, nullptr},
    {"500 40BF 12", true, {{500, 0x40BF, 0x12, 0xED}}, nullptr},
    {"0 0x40bf 0x12 0x00  # explicit fourth\r\n10 FF 1", true,
     {{0, 0x40BF, 0x12, 0x00}, {10, 0x00FF, 0x01, 0xFE}}, nullptr},
    {"500 40BF", false, {}, "line 1:"},
    {"\n500 40BF 12 ED 00", false, {}, "line 2:"},
    {"-5 40BF 12", false, {}, "line 1:"},
    {"5ms 40BF 12", false, {}, "line 1:"},
    {"5 140BF 12", false, {}, "line 1:"},
    {"5 40BF 123", false, {}, "line 1:"},
    {"5 40BF 12 G0", false, {}, "line 1:"},
    {"5 40BF 0x", false, {}, "line 1:"},
};

TEST(SimScriptTest, ParsesOnePressPerLine)
{
    for (const ScriptCase& c : kScripts) {
        SCOPED_TRACE(c.text);
        std::vector<Press> presses = {{1, 2, 3, 4}};
        std::string error;
        bool ok = simtuner::ParseScript(c.text, &presses, &error);
        ASSERT_EQ(c.ok, ok) << error;
        if (!ok) {
            EXPECT_EQ(0u, error.rfind(c.errorStart, 0)) << error;
            continue;
        }
        ASSERT_EQ(c.presses.size(), presses.size());
        for (size_t i = 0; i < presses.size(); ++i) {
            EXPECT_EQ(c.presses[i].delayMs, presses[i].delayMs);
            EXPECT_EQ(c.presses[i].customCode, presses[i].customCode);
            EXPECT_EQ(c.presses[i].key, presses[i].key);
            EXPECT_EQ(c.presses[i].fourth, presses[i].fourth);
        }
    }
}

TEST(SimScriptTest, DemoScriptLoads)
{
    std::vector<Press> presses;
    std::string error;
    ASSERT_TRUE(simtuner::LoadScript(DEMO_SCRIPT, &presses, &error)) << error;
    EXPECT_EQ(6u, presses.size());
    DWORD total = 0;
    for (const Press& press : presses)
        total += press.delayMs;
    EXPECT_EQ(2500u, total);

    EXPECT_FALSE(simtuner::LoadScript(DEMO_SCRIPT ".missing", &presses, &error));
    EXPECT_NE(std::string::npos, error.find("cannot open")) << error;
}

class SimulationTest : public SimTest {
protected:
    HRESULT Read(IKsPropertySet* propertySet, REFGUID set, DWORD id, BYTE* buffer, DWORD length)
    {
        DWORD returned = 0;
        return propertySet->Get(set, id, buffer, length, buffer, length, &returned);
    }

    IKsPropertySet* Open()
    {
        ICreateDevEnum* devEnum = nullptr;
        const CLSID systemDeviceEnum = {
            0x62BE5D10, 0x60EB, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
        const IID createDevEnum = {
            0x29840822, 0x5B84, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
        const GUID tuners = {
            0x71985F48, 0x1CA1, 0x11D3, {0x9C, 0xC8, 0x00, 0xC0, 0x4F, 0x79, 0x71, 0xE0}};
        const IID baseFilter = {
            0x56A86895, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
        const IID ksPropertySet = {
            0x31EFAC30, 0x515C, 0x11D0, {0xA9, 0xAA, 0x00, 0xAA, 0x00, 0x61, 0xBE, 0x93}};
        HRESULT hr = CoCreateInstance(systemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                      createDevEnum, reinterpret_cast<void**>(&devEnum));
        EXPECT_EQ(S_OK, hr) << Hr(hr);
        if (FAILED(hr))
            return nullptr;
        IEnumMoniker* monikers = nullptr;
        hr = devEnum->CreateClassEnumerator(tuners, &monikers, 0);
        devEnum->Release();
        EXPECT_EQ(S_OK, hr) << Hr(hr);
        if (hr != S_OK)
            return nullptr;
        IMoniker* moniker = nullptr;
        hr = monikers->Next(1, &moniker, nullptr);
        monikers->Release();
        EXPECT_EQ(S_OK, hr) << Hr(hr);
        if (hr != S_OK)
            return nullptr;
        IBaseFilter* filter = nullptr;
        hr = moniker->BindToObject(nullptr, nullptr, baseFilter, reinterpret_cast<void**>(&filter));
        moniker->Release();
        EXPECT_EQ(S_OK, hr) << Hr(hr);
        if (FAILED(hr))
            return nullptr;
        IKsPropertySet* propertySet = nullptr;
        hr = filter->QueryInterface(ksPropertySet, reinterpret_cast<void**>(&propertySet));
        filter->Release();
        EXPECT_EQ(S_OK, hr) << Hr(hr);
        return propertySet;
    }
};

TEST_F(SimulationTest, QueuedFramesAreReadOnceThenNoCode)
{
    Install();
    IKsPropertySet* propertySet = Open();
    ASSERT_NE(nullptr, propertySet);
    sim->PushFrame(simtuner::MakeFrame(0x40BF, 0x12, 0xED));
    sim->PushFrame(simtuner::MakeFrame(0x40BF, 0x13, 0xEC));
    const simtuner::Frame expected[] = {
        {0x40, 0xBF, 0x12, 0xED}, {0x40, 0xBF, 0x13, 0xEC}, {0xFF, 0xFF, 0xFF, 0xFF}};
    for (const simtuner::Frame& frame : expected) {
        BYTE buffer[288] = {};
        HRESULT hr = Read(propertySet, simtuner::kRemoteCodePropertySet, 1, buffer, sizeof(buffer));
        ASSERT_EQ(S_OK, hr) << Hr(hr);
        EXPECT_EQ(0, memcmp(frame.data(), buffer + 30, 4));
        EXPECT_EQ(frame, sim->GetCalls().back().frame);
    }

    BYTE buffer[288] = {};
    HRESULT hr = Read(propertySet, GUID_NULL, 1, buffer, sizeof(buffer));
    EXPECT_EQ(static_cast<HRESULT>(0x80070492), hr) << Hr(hr) << " other property set";
    hr = Read(propertySet, simtuner::kRemoteCodePropertySet, 2, buffer, sizeof(buffer));
    EXPECT_EQ(static_cast<HRESULT>(0x80070490), hr) << Hr(hr) << " other property";
    hr = Read(propertySet, simtuner::kRemoteCodePropertySet, 1, buffer, 34);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER), hr) << Hr(hr) << " short buffer";
    propertySet->Release();
}

TEST_F(SimulationTest, ScriptPushesItsPressesAndStopsPromptly)
{
    Install();
    sim->PlayScript({{10, 0x40BF, 0x01, 0xFE}, {10, 0x40BF, 0x02, 0xFD}});
    DWORD start = GetTickCount();
    while (!sim->ScriptDone() && GetTickCount() - start < Scaled(2000))
        Sleep(5);
    EXPECT_TRUE(sim->ScriptDone());
    EXPECT_EQ(2u, sim->PendingFrames());

    sim->PlayScript({{60000, 0x40BF, 0x03, 0xFC}});
    EXPECT_FALSE(sim->ScriptDone());
    start = GetTickCount();
    sim->StopScript();
    EXPECT_LT(GetTickCount() - start, 1000u) << "a stop cuts the delay short";
    EXPECT_EQ(2u, sim->PendingFrames());
}

TEST_F(SimulationTest, UnplugEmptiesTheListAndKillsEveryInterfaceForGood)
{
    Install();
    IKsPropertySet* before = Open();
    ASSERT_NE(nullptr, before);
    ASSERT_TRUE(sim->PushFrame(simtuner::MakeFrame(0x40BF, 0x12, 0xED)));
    ASSERT_TRUE(sim->Unplug());
    EXPECT_FALSE(sim->Plugged());
    EXPECT_EQ(0u, sim->PendingFrames()) << "frames waiting go with the device";
    EXPECT_FALSE(sim->PushFrame(simtuner::MakeFrame(0x40BF, 0x13, 0xEC)));

    ICreateDevEnum* devEnum = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(simtuner::ids::CLSID_SystemDeviceEnum, nullptr,
                                     CLSCTX_INPROC_SERVER, simtuner::ids::IID_ICreateDevEnum,
                                     reinterpret_cast<void**>(&devEnum)));
    IEnumMoniker* monikers = reinterpret_cast<IEnumMoniker*>(1);
    HRESULT hr = devEnum->CreateClassEnumerator(simtuner::ids::KSCATEGORY_BDA_NETWORK_TUNER,
                                                &monikers, 0);
    EXPECT_EQ(S_FALSE, hr) << Hr(hr) << " an empty category";
    EXPECT_EQ(nullptr, monikers);

    const HRESULT gone = HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
    BYTE buffer[288] = {};
    hr = Read(before, simtuner::kRemoteCodePropertySet, 1, buffer, sizeof(buffer));
    EXPECT_EQ(gone, hr) << Hr(hr);
    hr = Read(before, GUID_NULL, 1, buffer, sizeof(buffer));
    EXPECT_EQ(gone, hr) << Hr(hr) << " whatever it asks";

    ASSERT_TRUE(sim->Plug());
    hr = devEnum->CreateClassEnumerator(simtuner::ids::KSCATEGORY_BDA_NETWORK_TUNER, &monikers, 0);
    EXPECT_EQ(S_OK, hr) << Hr(hr);
    if (monikers)
        monikers->Release();
    devEnum->Release();
    IKsPropertySet* after = Open();
    ASSERT_NE(nullptr, after);
    ASSERT_TRUE(sim->PushFrame(simtuner::MakeFrame(0x40BF, 0x14, 0xEB)));
    for (int i = 0; i < 3; ++i) {
        hr = Read(before, simtuner::kRemoteCodePropertySet, 1, buffer, sizeof(buffer));
        EXPECT_EQ(gone, hr) << Hr(hr) << " stale for good, read " << i;
    }
    hr = Read(after, simtuner::kRemoteCodePropertySet, 1, buffer, sizeof(buffer));
    ASSERT_EQ(S_OK, hr) << Hr(hr);
    EXPECT_EQ(0, memcmp(simtuner::MakeFrame(0x40BF, 0x14, 0xEB).data(), buffer + 30, 4))
        << "the stale interface took nothing";
    before->Release();
    after->Release();
}

TEST_F(SimulationTest, AHeldKeyIsOneFrameForEachReadWhileHeld)
{
    Install();
    IKsPropertySet* propertySet = Open();
    ASSERT_NE(nullptr, propertySet);
    const simtuner::Frame held = simtuner::MakeFrame(0x40BF, 0x20, 0xDF);
    ASSERT_TRUE(sim->HoldKey(held, 60000));
    for (int i = 0; i < 4; ++i) {
        BYTE buffer[288] = {};
        HRESULT hr = Read(propertySet, simtuner::kRemoteCodePropertySet, 1, buffer, sizeof(buffer));
        ASSERT_EQ(S_OK, hr) << Hr(hr);
        EXPECT_EQ(0, memcmp(held.data(), buffer + 30, 4)) << "read " << i;
    }
    propertySet->Release();

    // A device that goes away lets go of its key.
    ASSERT_TRUE(sim->Unplug());
    EXPECT_FALSE(sim->HoldKey(held, 60000));
    ASSERT_TRUE(sim->Plug());
    propertySet = Open();
    ASSERT_NE(nullptr, propertySet);
    BYTE buffer[288] = {};
    ASSERT_EQ(S_OK, Read(propertySet, simtuner::kRemoteCodePropertySet, 1, buffer, sizeof(buffer)));
    EXPECT_EQ(0, memcmp("\xFF\xFF\xFF\xFF", buffer + 30, 4));
    propertySet->Release();
}

} // namespace
