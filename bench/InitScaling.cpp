#include "InitScaling.h"

#include <objbase.h>
#include <oaidl.h>
#include <strmif.h>

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "Clock.h"
#include "SimTuner.h"

namespace bench {

namespace {

// The simulation's own identifiers: the floor asks for what the library asks for.
namespace ids = simtuner::ids;

// The floor of discovery: the enumeration calls that finding the tuner cannot
// avoid, over the same simulated devices, in a bare loop.
bool FloorDiscover()
{
    ICreateDevEnum* devEnum = nullptr;
    if (FAILED(CoCreateInstance(ids::CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                                ids::IID_ICreateDevEnum, reinterpret_cast<void**>(&devEnum))))
        return false;
    IEnumMoniker* monikers = nullptr;
    devEnum->CreateClassEnumerator(ids::KSCATEGORY_BDA_NETWORK_TUNER, &monikers, 0x40);
    bool found = false;
    IMoniker* moniker = nullptr;
    while (monikers && monikers->Next(1, &moniker, nullptr) == S_OK) {
        IPropertyBag* bag = nullptr;
        bool match = false;
        if (SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, ids::IID_IPropertyBag,
                                             reinterpret_cast<void**>(&bag)))) {
            VARIANT name;
            VariantInit(&name);
            match = SUCCEEDED(bag->Read(L"FriendlyName", &name, nullptr)) &&
                    name.vt == VT_BSTR && wcscmp(name.bstrVal, L"QBOX DVBS Tuner") == 0;
            VariantClear(&name);
            bag->Release();
        }
        if (match) {
            IBaseFilter* filter = nullptr;
            if (SUCCEEDED(moniker->BindToObject(nullptr, nullptr, ids::IID_IBaseFilter,
                                                reinterpret_cast<void**>(&filter)))) {
                IKsPropertySet* set = nullptr;
                found = SUCCEEDED(filter->QueryInterface(ids::IID_IKsPropertySet,
                                                         reinterpret_cast<void**>(&set)));
                if (set)
                    set->Release();
                filter->Release();
            }
        }
        moniker->Release();
        if (match)
            break;
    }
    if (monikers)
        monikers->Release();
    devEnum->Release();
    return found;
}

} // namespace

double PerDeviceMs(const double (&row)[4])
{
    return (row[3] - row[2]) / 900.0;
}

// InitRemoteControl with n non-matching devices listed before the tuner. The
// device counts take turns round by round, and each round times the library
// and then the floor, so that all of them see the same machine.
void MeasureInit(Library& lib, Host& host, bool quick, InitFigures& f, RunErrors& errors)
{
    IniFile ini("[Custom]\r\nMaskCode=0\r\n");
    std::vector<std::unique_ptr<simtuner::Simulation>> sims;
    for (int n : kDeviceCounts) {
        simtuner::Config config;
        for (int i = 0; i < n; ++i)
            config.devices.push_back({L"Other Tuner " + std::to_wstring(i)});
        config.devices.push_back({L"QBOX DVBS Tuner"});
        sims.emplace_back(new simtuner::Simulation(config));
    }
    int rounds = quick ? 5 : 41;
    std::vector<double> lib_[4], floor[4];
    for (int i = -1; i < rounds; ++i) { // the first round warms up
        for (int c = 0; c < 4; ++c) {
            simtuner::Simulation& sim = *sims[c];
            if (FAILED(sim.Install()))
                return Fail(errors, "simulation install");
            host.Pump(1);
            LONGLONG start = Qpc();
            HRESULT hr = lib.init(host.hwnd(), ini.path());
            LONGLONG end = Qpc();
            if (hr != S_OK)
                return Fail(errors, "InitRemoteControl with " +
                                        std::to_string(kDeviceCounts[c]) + " devices");
            lib.uninit();
            if (i >= 0)
                lib_[c].push_back(Ms(start, end));
            host.Pump(1);
            start = Qpc();
            bool found = FloorDiscover();
            end = Qpc();
            if (!found)
                return Fail(errors, "floor discovery");
            if (i >= 0)
                floor[c].push_back(Ms(start, end));
            sim.Uninstall();
        }
    }
    for (int c = 0; c < 4; ++c) {
        Stats l = Summarise(lib_[c]), fl = Summarise(floor[c]);
        f.ms[c] = l.median;
        f.floorMs[c] = fl.median;
        f.minMs[c] = l.min;
        f.floorMinMs[c] = fl.min;
    }
}

} // namespace bench
