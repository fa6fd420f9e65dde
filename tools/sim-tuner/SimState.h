#pragma once

// State shared by one Simulation and every COM object it has handed out. The
// objects hold it by shared_ptr, so a reference the library keeps past the
// Simulation's end still points at valid memory.

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "SimTuner.h"

namespace simtuner {
namespace detail {

// Defined here from their published values, as SDK import libraries differ in
// which of them they carry.
namespace ids {
extern const CLSID CLSID_SystemDeviceEnum;
extern const IID IID_ICreateDevEnum;
extern const GUID KSCATEGORY_BDA_NETWORK_TUNER;
extern const IID IID_IUnknown;
extern const IID IID_IClassFactory;
extern const IID IID_IEnumMoniker;
extern const IID IID_IPersist;
extern const IID IID_IPersistStream;
extern const IID IID_IMoniker;
extern const IID IID_IPropertyBag;
extern const IID IID_IMediaFilter;
extern const IID IID_IBaseFilter;
extern const IID IID_IKsPropertySet;
} // namespace ids

// The driver's property buffer: anything shorter is refused, as a kernel
// driver refuses a buffer smaller than its structure.
const DWORD kDriverBufferSize = 288;
const size_t kFrameOffset = 30;

struct Counters {
    std::atomic<long> live{0};
    std::atomic<long> references{0};
};
Counters& DeviceCounters();  // everything a client of the enumerator can hold
Counters& FactoryCounters(); // class factories, held by COM while installed

// Exact reference counting shared by every simulated object; the object is
// born with the creator's reference.
class RefCounted {
public:
    explicit RefCounted(Counters& counters);
    virtual ~RefCounted();
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

protected:
    ULONG AddRefImpl();
    ULONG ReleaseImpl();

private:
    Counters& counters_;
    std::atomic<long> references_{1};
};

struct SimState {
    SimState(Config c, std::shared_ptr<TunerState> t);

    // Records a call of a method the library has no business calling.
    HRESULT NotImplemented(const char* method);

    const Config config;
    const std::shared_ptr<TunerState> tuner; // has its own lock

    mutable std::mutex mutex;
    HRESULT getResult = S_OK;
    unsigned failNextCount = 0;
    HRESULT failNextResult = S_OK;
    DWORD getDelayMs = 0;
    std::function<void(BYTE*, DWORD)> filler;
    std::vector<GetRecord> getCalls;
    std::vector<unsigned> bindToObjectCalls; // per device
    unsigned enumeratorsCreated = 0;
    std::vector<Enumeration> enumerations;
    std::vector<std::string> unexpectedCalls;
};

bool SameGuid(REFGUID a, REFGUID b);

} // namespace detail
} // namespace simtuner
