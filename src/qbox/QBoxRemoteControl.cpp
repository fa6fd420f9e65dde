#include "QBoxRemoteControl.h"

#include <mbstring.h>
#include <stdlib.h>
#include <string.h>

#include "../diag/DebugTrace.h"
#include "FindTunerPropertySet.h"

namespace {

// The driver's remote-code property.
const GUID kRemoteCodePropertySet = {
    0xC6EFE5EB, 0x855A, 0x4F1B, {0xB7, 0xAA, 0x87, 0xB5, 0xE1, 0xDC, 0x41, 0x13}};
const DWORD kRemoteCodeProperty = 1;
const DWORD kRemoteCodeBufferSize = 288;
const size_t kFrameOffset = 30; // custom code high, custom code low, key, fourth byte

const size_t kConfigValueSize = 260;

} // namespace

QBoxRemoteControl::QBoxRemoteControl() : propertySet(nullptr), maskCode(0)
{
}

QBoxRemoteControl::~QBoxRemoteControl()
{
    if (propertySet)
        propertySet->Release();
}

HRESULT QBoxRemoteControl::OpenDevice()
{
    CloseDevice();

    if (FAILED(FindTunerPropertySet(&propertySet)) || !propertySet)
        return E_FAIL;

    char value[kConfigValueSize];
    memset(value, 0, sizeof(value));
    GetPrivateProfileStringA("Custom", "MaskCode", "0", value, sizeof(value), iniPath);

    const unsigned char* text = reinterpret_cast<const unsigned char*>(value);
    bool hex = _mbsstr(text, reinterpret_cast<const unsigned char*>("0x")) ||
               _mbsstr(text, reinterpret_cast<const unsigned char*>("0X"));
    maskCode = strtol(value, nullptr, hex ? 16 : 10);
    return S_OK;
}

HRESULT QBoxRemoteControl::CloseDevice()
{
    if (propertySet) {
        IKsPropertySet* released = propertySet;
        propertySet = nullptr;
        released->Release();
    }
    return S_OK;
}

HRESULT QBoxRemoteControl::ReadRemoteCode(unsigned int* keyCode)
{
    if (!propertySet)
        return E_POINTER;

    // One zeroed buffer serves as both the instance data and the property data.
    BYTE buffer[kRemoteCodeBufferSize];
    memset(buffer, 0, sizeof(buffer));
    DWORD returned = 0;
    HRESULT hr = propertySet->Get(kRemoteCodePropertySet, kRemoteCodeProperty, buffer,
                                  sizeof(buffer), buffer, sizeof(buffer), &returned);
    if (FAILED(hr))
        return hr;

    const BYTE* frame = buffer + kFrameOffset;
    if (frame[0] == 0xFF && frame[1] == 0xFF && frame[2] == 0xFF && frame[3] == 0xFF)
        return E_FAIL; // no code available

    DebugTrace("QBox remote code:0x%X%X%X%X!\n", static_cast<unsigned int>(frame[0]),
               static_cast<unsigned int>(frame[1]), static_cast<unsigned int>(frame[2]),
               static_cast<unsigned int>(frame[3]));

    LONG customCode = (frame[0] << 8) | frame[1];
    if (maskCode != 0 && customCode != maskCode) {
        DebugTrace("Custom code not match!\n");
        return E_FAIL;
    }
    *keyCode = frame[2];
    return S_OK;
}
