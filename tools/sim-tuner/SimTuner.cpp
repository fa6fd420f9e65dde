#include "SimTuner.h"

#include <condition_variable>
#include <thread>

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

Frame MakeFrame(WORD customCode, BYTE key, BYTE fourth)
{
    return Frame{static_cast<BYTE>(customCode >> 8), static_cast<BYTE>(customCode & 0xFF), key,
                 fourth};
}

// Plays a script on its own thread; a stop request cuts the current delay short.
struct Simulation::Player {
    std::mutex mutex;
    std::condition_variable wake;
    bool stop = false;
    bool done = false;
    std::thread thread;

    void Play(const std::vector<Press>& presses, const std::shared_ptr<detail::SimState>& state)
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (const Press& press : presses) {
            if (wake.wait_for(lock, std::chrono::milliseconds(press.delayMs),
                              [this] { return stop; }))
                break;
            std::lock_guard<std::mutex> stateLock(state->mutex);
            state->frames.push_back(MakeFrame(press.customCode, press.key, press.fourth));
        }
        done = true;
    }

    void Stop()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stop = true;
        }
        wake.notify_all();
        if (thread.joinable())
            thread.join();
    }
};

Simulation::Simulation(Config config)
    : state_(std::make_shared<detail::SimState>(std::move(config)))
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

void Simulation::PushFrame(const Frame& frame)
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->frames.push_back(frame);
}

size_t Simulation::PendingFrames() const
{
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->frames.size();
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

void Simulation::PlayScript(std::vector<Press> presses)
{
    StopScript();
    player_.reset(new Player);
    Player* player = player_.get();
    std::shared_ptr<detail::SimState> state = state_;
    player->thread = std::thread([player, state, presses = std::move(presses)] {
        player->Play(presses, state);
    });
}

bool Simulation::ScriptDone() const
{
    if (!player_)
        return true;
    std::lock_guard<std::mutex> lock(player_->mutex);
    return player_->done;
}

void Simulation::StopScript()
{
    if (player_) {
        player_->Stop();
        player_.reset();
    }
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
