#include "SimClassFactory.h"

#include "SimDeviceEnumerator.h"

namespace simtuner {
namespace detail {

SimClassFactory::SimClassFactory(std::shared_ptr<SimState> state)
    : RefCounted(FactoryCounters()), state_(std::move(state))
{
}

HRESULT SimClassFactory::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (SameGuid(riid, ids::IID_IUnknown) || SameGuid(riid, ids::IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG SimClassFactory::AddRef()
{
    return AddRefImpl();
}

ULONG SimClassFactory::Release()
{
    return ReleaseImpl();
}

HRESULT SimClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    auto* enumerator = new SimDeviceEnumerator(state_);
    HRESULT hr = enumerator->QueryInterface(riid, object);
    enumerator->Release();
    if (SUCCEEDED(hr)) {
        std::lock_guard<std::mutex> lock(state_->mutex);
        ++state_->enumeratorsCreated;
    }
    return hr;
}

HRESULT SimClassFactory::LockServer(BOOL)
{
    return S_OK;
}

} // namespace detail
} // namespace simtuner
