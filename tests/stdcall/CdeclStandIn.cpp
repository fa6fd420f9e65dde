// A stand-in for Halyard.dll built the wrong way: the same exports, names and
// ordinals, but cdecl. StdcallCheck must reject it.
#include <windows.h>

extern "C" __declspec(dllexport) HRESULT __cdecl InitRemoteControl(HWND, const char*)
{
    return E_FAIL;
}

extern "C" __declspec(dllexport) HRESULT __cdecl UnInitRemoteControl()
{
    return S_FALSE;
}
