#include "FindTunerPropertySet.h"

#include <oaidl.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

// Defined here from their published values: SDK headers disagree on which of
// them they declare.
namespace ids {
const CLSID CLSID_SystemDeviceEnum = {
    0x62BE5D10, 0x60EB, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
const IID IID_ICreateDevEnum = {
    0x29840822, 0x5B84, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
const GUID KSCATEGORY_BDA_NETWORK_TUNER = {
    0x71985F48, 0x1CA1, 0x11D3, {0x9C, 0xC8, 0x00, 0xC0, 0x4F, 0x79, 0x71, 0xE0}};
const IID IID_IPropertyBag = {
    0x55272A00, 0x42CB, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
const IID IID_IBaseFilter = {
    0x56A86895, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const IID IID_IKsPropertySet = {
    0x31EFAC30, 0x515C, 0x11D0, {0xA9, 0xAA, 0x00, 0xAA, 0x00, 0x61, 0xBE, 0x93}};
} // namespace ids

namespace {

const DWORD kEnumeratorContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
const DWORD kPlugAndPlayOnly = 0x40; // CDEF_DEVMON_PNP_DEVICE

// The names the tuner's driver registers, in the order they are tried.
const wchar_t* const kTunerNames[] = {L"QBOX DVBS Tuner", L"TBS QBOX DVB-S2 Tuner"};

wchar_t FoldAscii(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Whole-string comparison that folds only ASCII letters. The C runtime's
// _wcsicmp folds more than that under some locales.
bool EqualsIgnoringAsciiCase(const wchar_t* a, const wchar_t* b)
{
    for (; *a && *b; ++a, ++b) {
        if (FoldAscii(*a) != FoldAscii(*b))
            return false;
    }
    return *a == *b;
}

bool IsTunerName(const VARIANT& name)
{
    if (name.vt != VT_BSTR || !name.bstrVal)
        return false;
    for (const wchar_t* tunerName : kTunerNames) {
        if (EqualsIgnoringAsciiCase(name.bstrVal, tunerName))
            return true;
    }
    return false;
}

} // namespace

HRESULT FindTunerPropertySet(IKsPropertySet** propertySet)
{
    if (!propertySet)
        return E_INVALIDARG;

    ComPtr<ICreateDevEnum> devEnum;
    HRESULT hr = CoCreateInstance(ids::CLSID_SystemDeviceEnum, nullptr, kEnumeratorContext,
                                  ids::IID_ICreateDevEnum, &devEnum);
    if (FAILED(hr))
        return hr;

    ComPtr<IEnumMoniker> monikers;
    hr = devEnum->CreateClassEnumerator(ids::KSCATEGORY_BDA_NETWORK_TUNER, &monikers,
                                        kPlugAndPlayOnly);
    if (FAILED(hr))
        return hr;
    // S_FALSE with no enumerator: the category has no devices.
    if (!monikers)
        return E_FAIL;

    for (ComPtr<IMoniker> moniker; monikers->Next(1, &moniker, nullptr) == S_OK; moniker.Reset()) {
        ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, ids::IID_IPropertyBag, &bag)) || !bag)
            continue;

        VARIANT name;
        VariantInit(&name);
        bool match = SUCCEEDED(bag->Read(L"FriendlyName", &name, nullptr)) && IsTunerName(name);
        VariantClear(&name);
        if (!match)
            continue;

        ComPtr<IBaseFilter> filter;
        if (FAILED(moniker->BindToObject(nullptr, nullptr, ids::IID_IBaseFilter, &filter)) || !filter)
            continue;
        return filter->QueryInterface(ids::IID_IKsPropertySet, reinterpret_cast<void**>(propertySet));
    }
    return E_FAIL;
}
