#pragma once

// A simulated QBOX tuner: in-process COM objects standing in for the system
// device enumerator, its broadcast-tuner devices and the driver's remote-code
// property. Registered for CLSID_SystemDeviceEnum on one thread's apartment,
// it is what CoCreateInstance then finds there, so the library's real code
// runs end to end on any machine.

#include <windows.h>

#include <strmif.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace simtuner {

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

// Bytes 30 to 33 of the property buffer: custom code high, low, key, fourth.
using Frame = std::array<BYTE, 4>;
Frame MakeFrame(WORD customCode, BYTE key, BYTE fourth = 0);

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
    Frame frame = {}; // bytes 30 to 33 as returned
    LONGLONG returnedAt = 0; // QueryPerformanceCounter just before returning
};

// One key press of a demo script.
struct Press {
    DWORD delayMs = 0; // after the previous press (or the start)
    WORD customCode = 0;
    BYTE key = 0;
    BYTE fourth = 0;
};

// Parses a key-press script; on failure *error names the line and the fault.
bool ParseScript(const std::string& text, std::vector<Press>* presses, std::string* error);
bool LoadScript(const char* path, std::vector<Press>* presses, std::string* error);

class Simulation {
public:
    explicit Simulation(Config config = OneTuner());
    ~Simulation(); // stops the script and uninstalls
    Simulation(const Simulation&) = delete;
    Simulation& operator=(const Simulation&) = delete;

    // Registers the enumerator on the calling thread, which has COM initialised.
    HRESULT Install();
    void Uninstall();

    // The driver. All of these are safe from any thread.
    void PushFrame(const Frame& frame); // read once each, then FF FF FF FF
    void SetGetResult(HRESULT hr);      // every Get fails with hr; S_OK restores
    void FailNextGets(unsigned count, HRESULT hr);
    void SetGetDelay(DWORD ms);         // each Get sleeps this long first
    // Replaces the frame logic: fills the whole buffer on every Get.
    void SetBufferFiller(std::function<void(BYTE* buffer, DWORD length)> filler);

    // Plays presses on a background thread, each pushed as a frame.
    void PlayScript(std::vector<Press> presses);
    bool ScriptDone() const;
    void StopScript();

    std::vector<GetRecord> GetCalls() const;
    size_t GetCallCount() const;
    void ClearGetCalls();
    unsigned BindToObjectCount(size_t device) const;
    unsigned EnumeratorsCreated() const;

    // Simulated COM objects alive, and references held on them, process-wide.
    static long LiveObjects();
    static long OutstandingReferences();
};

} // namespace simtuner
