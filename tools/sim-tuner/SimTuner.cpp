#include "SimTuner.h"

#include "SimClassFactory.h"
#include "SimState.h"

namespace simtuner {

const GUID kRemoteCodePropertySet = {
    0xC6EFE5EB, 0x855A, 0x4F1B, {0xB7, 0xAA, 0x87, 0xB5, 0xE1, 0xDC, 0x41, 0x13}};

namespace ids {
const CLSID& CLSID_SystemDeviceEnum = detail::ids::CLSID_SystemDeviceEnum;
const IID& IID_ICreateDevEnum = detail::ids::IID_ICreateDevEnum;
const GUID& KSCATEGORY_BDA_NETWORK_TUNER = detail::ids::KSCATEGORY_BDA_NETWORK_TUNER;
const IID& IID_IPropertyBag = detail::ids::IID_IPropertyBag;
const IID& IID_IBaseFilter = detail::ids::IID_IBaseFilter;
const IID& IID_IKsPropertySet = detail::ids::IID_IKsPropertySet;
} // namespace ids

Config OneTuner()
{
    Config config;
    Device tuner;
    tuner.friendlyName = L"QBOX DVBS Tuner";
    config.devices.push_back(tuner);
    return config;
}

Simulation::Simulation(Config config, std::shared_ptr<TunerState> tuner)
    : state_(std::make_shared<detail::SimState>(std::move(config),
                                                tuner ? std::move(tuner) : TunerState::Local()))
{
}

Simulation::~Simulation()
{
    StopScript();
    Uninstall();
}

HRESULT Simulation::Install()
{
    if (cookie_)
        return CO_E_OBJISREG;
    auto* factory = new detail::SimClassFactory(state_);
    DWORD cookie = 0;
    HRESULT hr = CoRegisterClassObject(detail::ids::CLSID_SystemDeviceEnum, factory,
                                       CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
    // COM keeps its own reference while registered.
    factory->Release();
    if (SUCCEEDED(hr))
        cookie_ = cookie;
    return hr;
}

void Simulation::Uninstall()
{
    if (!cookie_)
        return;
    CoRevokeClassObject(cookie_);
    cookie_ = 0;
}

bool Simulation::Installed() const
{
    return cookie_ != 0;
}

bool Simulation::PushFrame(const Frame& frame)
{
    return state_->tuner->Push(frame) == TunerState::Result::Ok;
}

size_t Simulation::PendingFrames() const
{
    return state_->tuner->Pending();
}

void Simulation::SetGetResult(HRESULT hr)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->getResult = hr;
}

void Simulation::FailNextGets(unsigned count, HRESULT hr)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->failNextCount = count;
    state_->failNextResult = hr;
}

void Simulation::SetGetDelay(DWORD ms)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->getDelayMs = ms;
}

void Simulation::SetBufferFiller(std::function<void(BYTE* buffer, DWORD length)> filler)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->filler = std::move(filler);
}

bool Simulation::HoldKey(const Frame& frame, DWORD ms)
{
    return state_->tuner->Hold(frame, ms) == TunerState::Result::Ok;
}

bool Simulation::Unplug()
{
    return state_->tuner->Unplug() == TunerState::Result::Ok;
}

bool Simulation::Plug()
{
    return state_->tuner->Plug() == TunerState::Result::Ok;
}

bool Simulation::Plugged() const
{
    return state_->tuner->Plugged();
}

void Simulation::PlayScript(std::vector<Press> presses)
{
    if (!player_)
        player_.reset(new ScriptPlayer(state_->tuner));
    player_->Play(std::move(presses));
}

bool Simulation::ScriptDone() const
{
    return !player_ || player_->Done();
}

void Simulation::StopScript()
{
    if (player_)
        player_->Stop();
}

std::vector<GetRecord> Simulation::GetCalls() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->getCalls;
}

size_t Simulation::GetCallCount() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->getCalls.size();
}

void Simulation::ClearGetCalls()
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->getCalls.clear();
}

unsigned Simulation::BindToObjectCount(size_t device) const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return device < state_->bindToObjectCalls.size() ? state_->bindToObjectCalls[device] : 0;
}

unsigned Simulation::EnumeratorsCreated() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->enumeratorsCreated;
}

std::vector<Enumeration> Simulation::Enumerations() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->enumerations;
}

std::vector<std::string> Simulation::UnexpectedCalls() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->unexpectedCalls;
}

long Simulation::LiveObjects()
{
    return detail::DeviceCounters().live;
}

long Simulation::OutstandingReferences()
{
    return detail::DeviceCounters().references;
}

long Simulation::LiveFactories()
{
    return detail::FactoryCounters().live;
}

} // namespace simtuner
