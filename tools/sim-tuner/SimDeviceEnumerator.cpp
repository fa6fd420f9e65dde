#include "SimDeviceEnumerator.h"

#include "SimMonikerEnumerator.h"

namespace simtuner {
namespace detail {

SimDeviceEnumerator::SimDeviceEnumerator(std::shared_ptr<SimState> state)
    : RefCounted(DeviceCounters()), state_(std::move(state))
{
}

HRESULT SimDeviceEnumerator::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (SameGuid(riid, ids::IID_IUnknown) || SameGuid(riid, ids::IID_ICreateDevEnum)) {
        *object = static_cast<ICreateDevEnum*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG SimDeviceEnumerator::AddRef()
{
    return AddRefImpl();
}

ULONG SimDeviceEnumerator::Release()
{
    return ReleaseImpl();
}

HRESULT SimDeviceEnumerator::CreateClassEnumerator(REFCLSID category, IEnumMoniker** monikers,
                                                   DWORD flags)
{
    if (!monikers)
        return E_POINTER;
    *monikers = nullptr;
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->enumerations.push_back({category, flags});
    }
    if (FAILED(state_->config.classEnumResult))
        return state_->config.classEnumResult;
    // As the system enumerator does for an empty category; an unplugged
    // tuner empties it.
    if (state_->config.classEnumResult == S_FALSE ||
        !SameGuid(category, ids::KSCATEGORY_BDA_NETWORK_TUNER) || !state_->tuner->Plugged())
        return S_FALSE;
    *monikers = new SimMonikerEnumerator(state_, 0);
    return S_OK;
}

} // namespace detail
} // namespace simtuner
