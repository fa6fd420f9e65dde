#pragma once

#include <windows.h>

#include <memory>

#include "SimState.h"

namespace simtuner {
namespace detail {

// The class object registered for CLSID_SystemDeviceEnum: creates device
// enumerators over the simulation's devices.
class SimClassFactory final : public IClassFactory, private RefCounted {
public:
    explicit SimClassFactory(std::shared_ptr<SimState> state);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    std::shared_ptr<SimState> state_;
};

} // namespace detail
} // namespace simtuner
