#pragma once

#include <windows.h>

#include <oaidl.h>

#include <memory>

#include "SimState.h"

namespace simtuner {
namespace detail {

// A device's registry values: only "FriendlyName", read-only.
class SimPropertyBag final : public IPropertyBag, private RefCounted {
public:
    SimPropertyBag(std::shared_ptr<SimState> state, size_t device);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override;

private:
    std::shared_ptr<SimState> state_;
    size_t device_;
};

} // namespace detail
} // namespace simtuner
