#pragma once

#include <windows.h>

#include <strmif.h>

#include <memory>

#include "SimState.h"

namespace simtuner {
namespace detail {

// The tuner's filter, and on the same object the driver's property set. It is
// free-threaded: the library calls Get from its monitor thread without
// marshalling. It belongs to the device generation it was bound in, and
// fails every Get once the device of that generation is gone.
class SimFilter final : public IBaseFilter, public IKsPropertySet, private RefCounted {
public:
    SimFilter(std::shared_ptr<SimState> state, size_t device, uint32_t generation);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;
    HRESULT STDMETHODCALLTYPE GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override;
    HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** clock) override;
    HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** pins) override;
    HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR id, IPin** pin) override;
    HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override;
    HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR* info) override;

    HRESULT STDMETHODCALLTYPE Set(REFGUID set, DWORD id, LPVOID instance, DWORD instanceLength,
                                  LPVOID data, DWORD dataLength) override;
    HRESULT STDMETHODCALLTYPE Get(REFGUID set, DWORD id, LPVOID instance, DWORD instanceLength,
                                  LPVOID data, DWORD dataLength, DWORD* returned) override;
    HRESULT STDMETHODCALLTYPE QuerySupported(REFGUID set, DWORD id, DWORD* support) override;

private:
    HRESULT ServeGet(REFGUID set, DWORD id, BYTE* data, DWORD dataLength, DWORD* returned,
                     Frame* frame);

    std::shared_ptr<SimState> state_;
    size_t device_;
    uint32_t generation_;
};

} // namespace detail
} // namespace simtuner
