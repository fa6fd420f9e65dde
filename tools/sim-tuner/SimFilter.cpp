#include "SimFilter.h"

#include <string.h>

#ifndef E_PROP_ID_UNSUPPORTED
#define E_PROP_ID_UNSUPPORTED ((HRESULT)0x80070490)
#endif
#ifndef E_PROP_SET_UNSUPPORTED
#define E_PROP_SET_UNSUPPORTED ((HRESULT)0x80070492)
#endif

namespace simtuner {
namespace detail {

namespace {

const Frame kNoCode = {0xFF, 0xFF, 0xFF, 0xFF};

bool AllZero(const void* data, DWORD length)
{
    const BYTE* bytes = static_cast<const BYTE*>(data);
    for (DWORD i = 0; i < length; ++i) {
        if (bytes[i])
            return false;
    }
    return true;
}

// Stale: the device went away after this interface was bound. A USB tuner's
// driver answers with the status the USB stack gives requests for a device
// that is gone, STATUS_DEVICE_NOT_CONNECTED, which reaches the caller as
// ERROR_DEVICE_NOT_CONNECTED.
HRESULT FailedRead(TunerState::Result result)
{
    return result == TunerState::Result::Stale ? HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED)
                                               : HRESULT_FROM_WIN32(ERROR_TIMEOUT);
}

} // namespace

SimFilter::SimFilter(std::shared_ptr<SimState> state, size_t device, uint32_t generation)
    : RefCounted(DeviceCounters()), state_(std::move(state)), device_(device),
      generation_(generation)
{
}

HRESULT SimFilter::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (SameGuid(riid, ids::IID_IUnknown) || SameGuid(riid, ids::IID_IPersist) ||
        SameGuid(riid, ids::IID_IMediaFilter) || SameGuid(riid, ids::IID_IBaseFilter)) {
        *object = static_cast<IBaseFilter*>(this);
    } else if (SameGuid(riid, ids::IID_IKsPropertySet) &&
               !state_->config.devices[device_].noPropertySet) {
        *object = static_cast<IKsPropertySet*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG SimFilter::AddRef()
{
    return AddRefImpl();
}

ULONG SimFilter::Release()
{
    return ReleaseImpl();
}

HRESULT SimFilter::Get(REFGUID set, DWORD id, LPVOID instance, DWORD instanceLength, LPVOID data,
                       DWORD dataLength, DWORD* returned)
{
    GetRecord record;
    record.threadId = GetCurrentThreadId();
    record.device = device_;
    record.propertySet = set;
    record.propertyId = id;
    record.instanceData = instance;
    record.instanceLength = instanceLength;
    record.propertyData = data;
    record.propertyLength = dataLength;
    // Judged on entry: the instance and property data may be one buffer.
    record.instanceZeroed = instance && AllZero(instance, instanceLength);
    record.returnedCountGiven = returned != nullptr;

    DWORD delay;
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        delay = state_->getDelayMs;
    }
    if (delay)
        Sleep(delay);

    record.result = ServeGet(set, id, static_cast<BYTE*>(data), dataLength, returned,
                             &record.frame);

    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    record.returnedAt = now.QuadPart;
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->getCalls.push_back(record);
    return record.result;
}

HRESULT SimFilter::ServeGet(REFGUID set, DWORD id, BYTE* data, DWORD dataLength, DWORD* returned,
                            Frame* frame)
{
    // A removed device's handle fails every request, whatever it asks.
    TunerState::Result alive = state_->tuner->Alive(generation_);
    if (alive != TunerState::Result::Ok)
        return FailedRead(alive);
    if (!SameGuid(set, kRemoteCodePropertySet))
        return E_PROP_SET_UNSUPPORTED;
    if (id != kRemoteCodeProperty)
        return E_PROP_ID_UNSUPPORTED;
    if (!data)
        return E_POINTER;
    if (dataLength < kDriverBufferSize)
        return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);

    std::function<void(BYTE*, DWORD)> filler;
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->failNextCount) {
            --state_->failNextCount;
            return state_->failNextResult;
        }
        if (FAILED(state_->getResult))
            return state_->getResult;
        filler = state_->filler;
    }
    // Outside the lock, so that a filler may call back into the Simulation.
    if (filler) {
        filler(data, dataLength);
    } else {
        // A failed Get above leaves the queued frame for the next one.
        Frame queued = kNoCode;
        TunerState::Result read = state_->tuner->Read(generation_, &queued);
        if (read != TunerState::Result::Ok && read != TunerState::Result::Empty)
            return FailedRead(read);
        memcpy(data + kFrameOffset, queued.data(), queued.size());
    }
    memcpy(frame->data(), data + kFrameOffset, frame->size());
    if (returned)
        *returned = kDriverBufferSize;
    return S_OK;
}

HRESULT SimFilter::Set(REFGUID, DWORD, LPVOID, DWORD, LPVOID, DWORD)
{
    return state_->NotImplemented("IKsPropertySet::Set");
}

HRESULT SimFilter::QuerySupported(REFGUID, DWORD, DWORD* support)
{
    if (support)
        *support = 0;
    return state_->NotImplemented("IKsPropertySet::QuerySupported");
}

HRESULT SimFilter::GetClassID(CLSID*)
{
    return state_->NotImplemented("IBaseFilter::GetClassID");
}

HRESULT SimFilter::Stop()
{
    return state_->NotImplemented("IBaseFilter::Stop");
}

HRESULT SimFilter::Pause()
{
    return state_->NotImplemented("IBaseFilter::Pause");
}

HRESULT SimFilter::Run(REFERENCE_TIME)
{
    return state_->NotImplemented("IBaseFilter::Run");
}

HRESULT SimFilter::GetState(DWORD, FILTER_STATE*)
{
    return state_->NotImplemented("IBaseFilter::GetState");
}

HRESULT SimFilter::SetSyncSource(IReferenceClock*)
{
    return state_->NotImplemented("IBaseFilter::SetSyncSource");
}

HRESULT SimFilter::GetSyncSource(IReferenceClock** clock)
{
    if (clock)
        *clock = nullptr;
    return state_->NotImplemented("IBaseFilter::GetSyncSource");
}

HRESULT SimFilter::EnumPins(IEnumPins** pins)
{
    if (pins)
        *pins = nullptr;
    return state_->NotImplemented("IBaseFilter::EnumPins");
}

HRESULT SimFilter::FindPin(LPCWSTR, IPin** pin)
{
    if (pin)
        *pin = nullptr;
    return state_->NotImplemented("IBaseFilter::FindPin");
}

HRESULT SimFilter::QueryFilterInfo(FILTER_INFO*)
{
    return state_->NotImplemented("IBaseFilter::QueryFilterInfo");
}

HRESULT SimFilter::JoinFilterGraph(IFilterGraph*, LPCWSTR)
{
    return state_->NotImplemented("IBaseFilter::JoinFilterGraph");
}

HRESULT SimFilter::QueryVendorInfo(LPWSTR* info)
{
    if (info)
        *info = nullptr;
    return state_->NotImplemented("IBaseFilter::QueryVendorInfo");
}

} // namespace detail
} // namespace simtuner
