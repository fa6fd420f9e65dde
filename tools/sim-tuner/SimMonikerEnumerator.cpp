#include "SimMonikerEnumerator.h"

#include "SimMoniker.h"

namespace simtuner {
namespace detail {

SimMonikerEnumerator::SimMonikerEnumerator(std::shared_ptr<SimState> state, size_t position)
    : RefCounted(DeviceCounters()), state_(std::move(state)), position_(position)
{
}

HRESULT SimMonikerEnumerator::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (SameGuid(riid, ids::IID_IUnknown) || SameGuid(riid, ids::IID_IEnumMoniker)) {
        *object = static_cast<IEnumMoniker*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG SimMonikerEnumerator::AddRef()
{
    return AddRefImpl();
}

ULONG SimMonikerEnumerator::Release()
{
    return ReleaseImpl();
}

HRESULT SimMonikerEnumerator::Next(ULONG count, IMoniker** monikers, ULONG* fetched)
{
    if (!monikers)
        return E_POINTER;
    if (count > 1 && !fetched)
        return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(mutex_);
    ULONG given = 0;
    while (given < count && position_ < state_->config.devices.size())
        monikers[given++] = new SimMoniker(state_, position_++);
    if (fetched)
        *fetched = given;
    return given == count ? S_OK : S_FALSE;
}

HRESULT SimMonikerEnumerator::Skip(ULONG count)
{
    std::lock_guard<std::mutex> lock(mutex_);
    size_t left = state_->config.devices.size() - position_;
    if (count > left) {
        position_ = state_->config.devices.size();
        return S_FALSE;
    }
    position_ += count;
    return S_OK;
}

HRESULT SimMonikerEnumerator::Reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    position_ = 0;
    return S_OK;
}

HRESULT SimMonikerEnumerator::Clone(IEnumMoniker** clone)
{
    if (!clone)
        return E_POINTER;
    std::lock_guard<std::mutex> lock(mutex_);
    *clone = new SimMonikerEnumerator(state_, position_);
    return S_OK;
}

} // namespace detail
} // namespace simtuner
