#pragma once

#include <windows.h>

#include <objidl.h>

#include <atomic>
#include <memory>

#include "SimState.h"

namespace simtuner {
namespace detail {

// IEnumMoniker over the configured devices; every Next hands out new monikers.
class SimMonikerEnumerator final : public IEnumMoniker, private RefCounted {
public:
    SimMonikerEnumerator(std::shared_ptr<SimState> state, size_t position);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Next(ULONG count, IMoniker** monikers, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumMoniker** clone) override;

private:
    std::shared_ptr<SimState> state_;
    std::mutex mutex_;
    size_t position_;
};

} // namespace detail
} // namespace simtuner
