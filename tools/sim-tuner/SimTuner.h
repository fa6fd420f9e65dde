#pragma once

// A simulated QBOX tuner: in-process COM objects standing in for the system
// device enumerator, its broadcast-tuner devices and the driver's remote-code
// property. Registered for CLSID_SystemDeviceEnum on one thread's apartment,
// it is what CoCreateInstance then finds there, so the library's real code
// runs end to end on any machine. Its driver reads its frames from a
// TunerState: the process's own, or the session's shared one, which also
// says whether the tuner is plugged in.

#include <windows.h>

#include <strmif.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ScriptPlayer.h"
#include "SimScript.h"
#include "TunerState.h"

namespace simtuner {

namespace detail {
struct SimState;
}

// The driver's remote-code property, answered by IKsPropertySet::Get.
extern const GUID kRemoteCodePropertySet; // {C6EFE5EB-855A-4F1B-B7AA-87B5E1DC4113}
const DWORD kRemoteCodeProperty = 1;

// The identifiers the simulation registers and answers to, from their
// published values, for a client that asks for what the library asks for.
namespace ids {
extern const CLSID& CLSID_SystemDeviceEnum;
extern const IID& IID_ICreateDevEnum;
extern const GUID& KSCATEGORY_BDA_NETWORK_TUNER;
extern const IID& IID_IPropertyBag;
extern const IID& IID_IBaseFilter;
extern const IID& IID_IKsPropertySet;
} // namespace ids

// One device listed in the broadcast network-tuner category.
struct Device {
    std::wstring friendlyName;
    bool nameUnreadable = false;    // IPropertyBag::Read fails
    bool nameNotString = false;     // Read succeeds with a value that is not a BSTR
    bool failBindToStorage = false;
    bool failBindToObject = false;
    bool noPropertySet = false;     // the filter refuses IKsPropertySet
};

struct Config {
    std::vector<Device> devices; // in enumeration order
    // Result of CreateClassEnumerator: a failure is returned as it is; S_FALSE
    // gives no enumerator, as for an empty category.
    HRESULT classEnumResult = S_OK;
};

// A device list with one tuner registered as "QBOX DVBS Tuner".
Config OneTuner();

// One call of IKsPropertySet::Get on a simulated tuner.
struct GetRecord {
    DWORD threadId = 0;
    size_t device = 0; // index into Config::devices
    GUID propertySet = {};
    DWORD propertyId = 0;
    const void* instanceData = nullptr;
    DWORD instanceLength = 0;
    const void* propertyData = nullptr;
    DWORD propertyLength = 0;
    bool instanceZeroed = false; // every instance byte was 0 on entry
    bool returnedCountGiven = false;
    HRESULT result = S_OK;
    Frame frame = {}; // bytes 30 to 33 as returned; zeros when the Get failed
    LONGLONG returnedAt = 0; // QueryPerformanceCounter just before returning
};

// One call of ICreateDevEnum::CreateClassEnumerator.
struct Enumeration {
    GUID category = {};
    DWORD flags = 0;
};

class Simulation {
public:
    // The driver reads tuner; by default a tuner of the Simulation's own.
    explicit Simulation(Config config = OneTuner(), std::shared_ptr<TunerState> tuner = nullptr);
    ~Simulation(); // stops the script and uninstalls
    Simulation(const Simulation&) = delete;
    Simulation& operator=(const Simulation&) = delete;

    // Registers the enumerator on the calling thread, which has COM initialised;
    // CO_E_OBJISREG when already installed. Uninstall (and so the destructor)
    // belongs on the same thread, since COM registrations are per apartment.
    HRESULT Install();
    void Uninstall();
    bool Installed() const;

    // The driver. All of these are safe from any thread.
    // Read once each, then FF FF FF FF; false when the tuner refused it.
    bool PushFrame(const Frame& frame);
    size_t PendingFrames() const;
    void SetGetResult(HRESULT hr);      // every Get fails with hr; S_OK restores
    // The next count Gets fail with hr, ahead of SetGetResult; a failed Get
    // leaves the queued frames alone.
    void FailNextGets(unsigned count, HRESULT hr);
    void SetGetDelay(DWORD ms);         // each Get sleeps this long first
    // Replaces the frame logic: fills the whole buffer on every Get.
    void SetBufferFiller(std::function<void(BYTE* buffer, DWORD length)> filler);
    // Every Get that finds no frame waiting returns frame for ms milliseconds,
    // as for a key held down; false when the tuner is unplugged.
    bool HoldKey(const Frame& frame, DWORD ms);

    // The device, as the cable and the power see it. Unplug empties the
    // device list and drops the frames waiting; every IKsPropertySet handed
    // out before fails each Get with HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED)
    // from then on, also after Plug, which lists the tuner again for new
    // interfaces. A sleep and resume is Unplug then Plug. False when refused.
    bool Unplug();
    bool Plug();
    bool Plugged() const;

    // Plays presses on a background thread, each pushed as a frame.
    void PlayScript(std::vector<Press> presses);
    bool ScriptDone() const;
    void StopScript();

    std::vector<GetRecord> GetCalls() const;
    size_t GetCallCount() const;
    void ClearGetCalls();
    unsigned BindToObjectCount(size_t device) const;
    unsigned EnumeratorsCreated() const; // ICreateDevEnum objects made by the class factory
    std::vector<Enumeration> Enumerations() const;
    // Methods no client should call (the E_NOTIMPL ones), by name, in order.
    std::vector<std::string> UnexpectedCalls() const;

    // Simulated COM objects alive, and references held on them, process-wide.
    // The class factory is not among them: COM holds it while installed.
    static long LiveObjects();
    static long OutstandingReferences();
    // Class factories alive: 0 once every Simulation is uninstalled.
    static long LiveFactories();

private:
    std::shared_ptr<detail::SimState> state_;
    std::unique_ptr<ScriptPlayer> player_;
    DWORD cookie_ = 0;
};

} // namespace simtuner
