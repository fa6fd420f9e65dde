#pragma once

#include <windows.h>

#include <strmif.h>

#include <memory>

#include "SimState.h"

namespace simtuner {
namespace detail {

// ICreateDevEnum: lists the configured devices for the broadcast network-tuner
// category while the tuner is plugged in, and none for any other.
class SimDeviceEnumerator final : public ICreateDevEnum, private RefCounted {
public:
    explicit SimDeviceEnumerator(std::shared_ptr<SimState> state);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateClassEnumerator(REFCLSID category, IEnumMoniker** monikers,
                                                    DWORD flags) override;

private:
    std::shared_ptr<SimState> state_;
};

} // namespace detail
} // namespace simtuner
