#include "SimMoniker.h"

#include "SimFilter.h"
#include "SimPropertyBag.h"

namespace simtuner {
namespace detail {

namespace {

template <typename T> void Clear(T** out)
{
    if (out)
        *out = nullptr;
}

} // namespace

SimMoniker::SimMoniker(std::shared_ptr<SimState> state, size_t device)
    : RefCounted(DeviceCounters()), state_(std::move(state)), device_(device)
{
}

HRESULT SimMoniker::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (SameGuid(riid, ids::IID_IUnknown) || SameGuid(riid, ids::IID_IPersist) ||
        SameGuid(riid, ids::IID_IPersistStream) || SameGuid(riid, ids::IID_IMoniker)) {
        *object = static_cast<IMoniker*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG SimMoniker::AddRef()
{
    return AddRefImpl();
}

ULONG SimMoniker::Release()
{
    return ReleaseImpl();
}

HRESULT SimMoniker::BindToObject(IBindCtx*, IMoniker*, REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        ++state_->bindToObjectCalls[device_];
    }
    if (state_->config.devices[device_].failBindToObject)
        return HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
    // A moniker names the device's path, which binds again once the device
    // is back; while it is away there is nothing to open.
    uint32_t generation = 0;
    switch (state_->tuner->Bind(&generation)) {
    case TunerState::Result::Ok:
        break;
    case TunerState::Result::Unplugged:
        return HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
    default:
        return HRESULT_FROM_WIN32(ERROR_TIMEOUT);
    }
    // Every bind makes a new filter instance, as for a kernel-streaming device.
    auto* filter = new SimFilter(state_, device_, generation);
    HRESULT hr = filter->QueryInterface(riid, object);
    filter->Release();
    return hr;
}

HRESULT SimMoniker::BindToStorage(IBindCtx*, IMoniker*, REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (state_->config.devices[device_].failBindToStorage)
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    if (!SameGuid(riid, ids::IID_IPropertyBag) && !SameGuid(riid, ids::IID_IUnknown))
        return E_NOINTERFACE;
    *object = static_cast<IPropertyBag*>(new SimPropertyBag(state_, device_));
    return S_OK;
}

HRESULT SimMoniker::GetClassID(CLSID*)
{
    return state_->NotImplemented("IMoniker::GetClassID");
}

HRESULT SimMoniker::IsDirty()
{
    return state_->NotImplemented("IMoniker::IsDirty");
}

HRESULT SimMoniker::Load(IStream*)
{
    return state_->NotImplemented("IMoniker::Load");
}

HRESULT SimMoniker::Save(IStream*, WINBOOL)
{
    return state_->NotImplemented("IMoniker::Save");
}

HRESULT SimMoniker::GetSizeMax(ULARGE_INTEGER*)
{
    return state_->NotImplemented("IMoniker::GetSizeMax");
}

HRESULT SimMoniker::Reduce(IBindCtx*, DWORD, IMoniker** left, IMoniker** reduced)
{
    Clear(left);
    Clear(reduced);
    return state_->NotImplemented("IMoniker::Reduce");
}

HRESULT SimMoniker::ComposeWith(IMoniker*, WINBOOL, IMoniker** composite)
{
    Clear(composite);
    return state_->NotImplemented("IMoniker::ComposeWith");
}

HRESULT SimMoniker::Enum(WINBOOL, IEnumMoniker** monikers)
{
    Clear(monikers);
    return state_->NotImplemented("IMoniker::Enum");
}

HRESULT SimMoniker::IsEqual(IMoniker*)
{
    return state_->NotImplemented("IMoniker::IsEqual");
}

HRESULT SimMoniker::Hash(DWORD*)
{
    return state_->NotImplemented("IMoniker::Hash");
}

HRESULT SimMoniker::IsRunning(IBindCtx*, IMoniker*, IMoniker*)
{
    return state_->NotImplemented("IMoniker::IsRunning");
}

HRESULT SimMoniker::GetTimeOfLastChange(IBindCtx*, IMoniker*, FILETIME*)
{
    return state_->NotImplemented("IMoniker::GetTimeOfLastChange");
}

HRESULT SimMoniker::Inverse(IMoniker** inverse)
{
    Clear(inverse);
    return state_->NotImplemented("IMoniker::Inverse");
}

HRESULT SimMoniker::CommonPrefixWith(IMoniker*, IMoniker** prefix)
{
    Clear(prefix);
    return state_->NotImplemented("IMoniker::CommonPrefixWith");
}

HRESULT SimMoniker::RelativePathTo(IMoniker*, IMoniker** path)
{
    Clear(path);
    return state_->NotImplemented("IMoniker::RelativePathTo");
}

HRESULT SimMoniker::GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR* name)
{
    Clear(name);
    return state_->NotImplemented("IMoniker::GetDisplayName");
}

HRESULT SimMoniker::ParseDisplayName(IBindCtx*, IMoniker*, LPOLESTR, ULONG*, IMoniker** out)
{
    Clear(out);
    return state_->NotImplemented("IMoniker::ParseDisplayName");
}

HRESULT SimMoniker::IsSystemMoniker(DWORD*)
{
    return state_->NotImplemented("IMoniker::IsSystemMoniker");
}

} // namespace detail
} // namespace simtuner
