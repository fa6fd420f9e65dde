#pragma once

#include <windows.h>

#include <objidl.h>

#include <memory>

#include "SimState.h"

namespace simtuner {
namespace detail {

// One device's moniker: binds to its property bag and to a new filter.
// Everything else of IMoniker is recorded as an unexpected call.
class SimMoniker final : public IMoniker, private RefCounted {
public:
    SimMoniker(std::shared_ptr<SimState> state, size_t device);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(IStream* stream) override;
    HRESULT STDMETHODCALLTYPE Save(IStream* stream, WINBOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;

    HRESULT STDMETHODCALLTYPE BindToObject(IBindCtx* context, IMoniker* left, REFIID riid,
                                           void** object) override;
    HRESULT STDMETHODCALLTYPE BindToStorage(IBindCtx* context, IMoniker* left, REFIID riid,
                                            void** object) override;
    HRESULT STDMETHODCALLTYPE Reduce(IBindCtx* context, DWORD howFar, IMoniker** left,
                                     IMoniker** reduced) override;
    HRESULT STDMETHODCALLTYPE ComposeWith(IMoniker* right, WINBOOL onlyIfNotGeneric,
                                          IMoniker** composite) override;
    HRESULT STDMETHODCALLTYPE Enum(WINBOOL forward, IEnumMoniker** monikers) override;
    HRESULT STDMETHODCALLTYPE IsEqual(IMoniker* other) override;
    HRESULT STDMETHODCALLTYPE Hash(DWORD* hash) override;
    HRESULT STDMETHODCALLTYPE IsRunning(IBindCtx* context, IMoniker* left,
                                        IMoniker* newlyRunning) override;
    HRESULT STDMETHODCALLTYPE GetTimeOfLastChange(IBindCtx* context, IMoniker* left,
                                                  FILETIME* time) override;
    HRESULT STDMETHODCALLTYPE Inverse(IMoniker** inverse) override;
    HRESULT STDMETHODCALLTYPE CommonPrefixWith(IMoniker* other, IMoniker** prefix) override;
    HRESULT STDMETHODCALLTYPE RelativePathTo(IMoniker* other, IMoniker** path) override;
    HRESULT STDMETHODCALLTYPE GetDisplayName(IBindCtx* context, IMoniker* left,
                                             LPOLESTR* name) override;
    HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx* context, IMoniker* left,
                                               LPOLESTR name, ULONG* eaten,
                                               IMoniker** out) override;
    HRESULT STDMETHODCALLTYPE IsSystemMoniker(DWORD* kind) override;

private:
    std::shared_ptr<SimState> state_;
    size_t device_;
};

} // namespace detail
} // namespace simtuner
