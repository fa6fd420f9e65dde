#include "SimPropertyBag.h"

#include <wchar.h>

namespace simtuner {
namespace detail {

SimPropertyBag::SimPropertyBag(std::shared_ptr<SimState> state, size_t device)
    : RefCounted(DeviceCounters()), state_(std::move(state)), device_(device)
{
}

HRESULT SimPropertyBag::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (SameGuid(riid, ids::IID_IUnknown) || SameGuid(riid, ids::IID_IPropertyBag)) {
        *object = static_cast<IPropertyBag*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG SimPropertyBag::AddRef()
{
    return AddRefImpl();
}

ULONG SimPropertyBag::Release()
{
    return ReleaseImpl();
}

HRESULT SimPropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*)
{
    if (!name || !value)
        return E_POINTER;
    const Device& device = state_->config.devices[device_];
    // A missing registry value reads as the registry's own error.
    if (wcscmp(name, L"FriendlyName") != 0 || device.nameUnreadable)
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    if (device.nameNotString) {
        V_VT(value) = VT_I4;
        V_I4(value) = 1;
        return S_OK;
    }
    BSTR text = SysAllocStringLen(device.friendlyName.data(),
                                  static_cast<UINT>(device.friendlyName.size()));
    if (!text)
        return E_OUTOFMEMORY;
    V_VT(value) = VT_BSTR;
    V_BSTR(value) = text;
    return S_OK;
}

HRESULT SimPropertyBag::Write(LPCOLESTR, VARIANT*)
{
    return state_->NotImplemented("IPropertyBag::Write");
}

} // namespace detail
} // namespace simtuner
