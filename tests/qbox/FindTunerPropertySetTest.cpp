#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "SimFixture.h"
#include "qbox/FindTunerPropertySet.h"

namespace {

using simtuner::Config;
using simtuner::Device;
using simtuner::Simulation;

const GUID kBdaNetworkTuner = {
    0x71985F48, 0x1CA1, 0x11D3, {0x9C, 0xC8, 0x00, 0xC0, 0x4F, 0x79, 0x71, 0xE0}};
const GUID kRemoteCodeSet = {
    0xC6EFE5EB, 0x855A, 0x4F1B, {0xB7, 0xAA, 0x87, 0xB5, 0xE1, 0xDC, 0x41, 0x13}};

// A value no call can have written, to see whether the out-pointer was touched.
IKsPropertySet* const kUntouched = reinterpret_cast<IKsPropertySet*>(static_cast<uintptr_t>(0x1234));

class DiscoveryTest : public SimTest {
protected:
    // Which configured device the property set belongs to, from the record of
    // one read through it.
    size_t DeviceOf(IKsPropertySet* propertySet)
    {
        BYTE buffer[288] = {};
        DWORD returned = 0;
        HRESULT hr = propertySet->Get(kRemoteCodeSet, 1, buffer, sizeof(buffer), buffer,
                                      sizeof(buffer), &returned);
        EXPECT_EQ(S_OK, hr) << Hr(hr);
        std::vector<simtuner::GetRecord> calls = sim->GetCalls();
        return calls.empty() ? static_cast<size_t>(-1) : calls.back().device;
    }
};

struct NameCase {
    const wchar_t* name;
    bool accepted;
    const char* why;
};

const NameCase kNames[] = {
    {L"QBOX DVBS Tuner", true, "first registered name"},
    {L"TBS QBOX DVB-S2 Tuner", true, "second registered name"},
    {L"tbs qbox dvb-s2 tuner", true, "ASCII case folds"},
    {L"QBOX DVBS TUNER", true, "ASCII case folds"},
    {L"QBOX DVBS Tuner ", false, "trailing blank"},
    {L" QBOX DVBS Tuner", false, "leading blank"},
    {L"QBOX DVBS", false, "prefix only"},
    {L"QBOX DVBS Tuner 2", false, "longer name"},
    {L"", false, "empty name"},
    {L"QBOX DVB\x017F Tuner", false, "long s, which upper-cases to S"},
    {L"QBOX DVBS \xFF34uner", false, "fullwidth T"},
    {L"\x0130QBOX DVBS Tuner", false, "dotted capital I in front"},
};

TEST_F(DiscoveryTest, MatchesFriendlyNamesFoldingOnlyAsciiCase)
{
    for (const NameCase& c : kNames) {
        SCOPED_TRACE(c.why);
        Install(Devices({Named(c.name)}));
        IKsPropertySet* propertySet = kUntouched;
        HRESULT hr = FindTunerPropertySet(&propertySet);
        if (c.accepted) {
            ASSERT_EQ(S_OK, hr) << Hr(hr);
            ASSERT_NE(nullptr, propertySet);
            EXPECT_EQ(1, Simulation::OutstandingReferences()) << "only the returned reference is held";
            propertySet->Release();
        } else {
            EXPECT_EQ(E_FAIL, hr) << Hr(hr);
            EXPECT_EQ(kUntouched, propertySet);
            EXPECT_EQ(0u, sim->BindToObjectCount(0)) << "a device that does not match is not bound";
        }
        sim.reset();
        EXPECT_EQ(0, Simulation::LiveObjects());
    }
}

TEST_F(DiscoveryTest, EnumeratesPlugAndPlayNetworkTunersOnce)
{
    Install();
    IKsPropertySet* propertySet = nullptr;
    HRESULT hr = FindTunerPropertySet(&propertySet);
    ASSERT_EQ(S_OK, hr) << Hr(hr);
    propertySet->Release();

    EXPECT_EQ(1u, sim->EnumeratorsCreated());
    std::vector<simtuner::Enumeration> enumerations = sim->Enumerations();
    ASSERT_EQ(1u, enumerations.size());
    EXPECT_TRUE(IsEqualGUID(kBdaNetworkTuner, enumerations[0].category));
    EXPECT_EQ(0x40u, enumerations[0].flags);
}

TEST_F(DiscoveryTest, TakesTheFirstMatchingDeviceAndLooksNoFurther)
{
    Install(Devices({Named(L"Other Tuner"), Named(L"TBS QBOX DVB-S2 Tuner"),
                     Named(L"QBOX DVBS Tuner")}));
    IKsPropertySet* propertySet = nullptr;
    HRESULT hr = FindTunerPropertySet(&propertySet);
    ASSERT_EQ(S_OK, hr) << Hr(hr);

    EXPECT_EQ(1u, DeviceOf(propertySet));
    EXPECT_EQ(0u, sim->BindToObjectCount(0));
    EXPECT_EQ(1u, sim->BindToObjectCount(1));
    EXPECT_EQ(0u, sim->BindToObjectCount(2));
    propertySet->Release();
}

struct FaultyDevice {
    const char* fault;
    std::function<void(Device&)> apply;
};

const FaultyDevice kFaults[] = {
    {"name unreadable", [](Device& d) { d.nameUnreadable = true; }},
    {"name not a string", [](Device& d) { d.nameNotString = true; }},
    {"BindToStorage fails", [](Device& d) { d.failBindToStorage = true; }},
    {"BindToObject fails", [](Device& d) { d.failBindToObject = true; }},
};

TEST_F(DiscoveryTest, SkipsADeviceThatCannotBeUsed)
{
    for (const FaultyDevice& f : kFaults) {
        SCOPED_TRACE(f.fault);
        Device faulty = Named(L"QBOX DVBS Tuner");
        f.apply(faulty);

        Install(Devices({faulty, Named(L"QBOX DVBS Tuner")}));
        IKsPropertySet* propertySet = nullptr;
        HRESULT hr = FindTunerPropertySet(&propertySet);
        ASSERT_EQ(S_OK, hr) << Hr(hr);
        EXPECT_EQ(1u, DeviceOf(propertySet));
        propertySet->Release();
        sim.reset();

        // Alone, the faulty device leaves nothing to find and nothing held.
        Install(Devices({faulty}));
        propertySet = kUntouched;
        hr = FindTunerPropertySet(&propertySet);
        EXPECT_EQ(E_FAIL, hr) << Hr(hr);
        EXPECT_EQ(kUntouched, propertySet);
        EXPECT_EQ(0, Simulation::OutstandingReferences());
        sim.reset();
    }
}

TEST_F(DiscoveryTest, NoDevicesFailsHoldingNothing)
{
    Install(Config());
    IKsPropertySet* propertySet = kUntouched;
    HRESULT hr = FindTunerPropertySet(&propertySet);
    EXPECT_EQ(E_FAIL, hr) << Hr(hr);
    EXPECT_EQ(kUntouched, propertySet);
    EXPECT_EQ(0, Simulation::LiveObjects());
    EXPECT_EQ(0, Simulation::OutstandingReferences());
}

TEST_F(DiscoveryTest, CategoryEnumerationResultDecides)
{
    const struct {
        HRESULT enumResult;
        HRESULT expected;
    } cases[] = {
        {S_FALSE, E_FAIL}, // an empty category gives no enumerator
        {E_OUTOFMEMORY, E_OUTOFMEMORY},
        {HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Hr(c.enumResult));
        Config config = simtuner::OneTuner();
        config.classEnumResult = c.enumResult;
        Install(config);
        IKsPropertySet* propertySet = kUntouched;
        HRESULT hr = FindTunerPropertySet(&propertySet);
        EXPECT_EQ(c.expected, hr) << Hr(hr);
        EXPECT_EQ(kUntouched, propertySet);
        EXPECT_EQ(0, Simulation::OutstandingReferences());
        sim.reset();
    }
}

TEST_F(DiscoveryTest, FilterWithoutPropertySetGivesQueryInterfaceResult)
{
    Device tuner = Named(L"QBOX DVBS Tuner");
    tuner.noPropertySet = true;
    Install(Devices({tuner, Named(L"QBOX DVBS Tuner")}));
    IKsPropertySet* propertySet = kUntouched;
    HRESULT hr = FindTunerPropertySet(&propertySet);
    EXPECT_EQ(E_NOINTERFACE, hr) << Hr(hr);
    EXPECT_EQ(nullptr, propertySet);
    EXPECT_EQ(0u, sim->BindToObjectCount(1)) << "the first match decides, even when it fails";
    EXPECT_EQ(0, Simulation::OutstandingReferences());
}

TEST_F(DiscoveryTest, NullOutPointerIsRejectedBeforeAnyEnumeration)
{
    Install();
    HRESULT hr = FindTunerPropertySet(nullptr);
    EXPECT_EQ(E_INVALIDARG, hr) << Hr(hr);
    EXPECT_EQ(0u, sim->EnumeratorsCreated());
}

TEST_F(DiscoveryTest, ThreadWithoutComFails)
{
    Install();
    IKsPropertySet* propertySet = kUntouched;
    HRESULT hr = S_OK;
    std::thread([&] { hr = FindTunerPropertySet(&propertySet); }).join();
    EXPECT_TRUE(FAILED(hr)) << Hr(hr);
    EXPECT_EQ(kUntouched, propertySet);
    EXPECT_EQ(0u, sim->EnumeratorsCreated()) << "the registration belongs to this apartment only";
}

} // namespace
