#include "UnpluggedMark.h"

#include <windows.h>

namespace simtuner {

namespace {
const wchar_t kKey[] = L"Software\\Halyard.SimulatedTuner";
}

bool LeftUnplugged(const std::wstring& name)
{
    DWORD value = 0, size = sizeof(value);
    return RegGetValueW(HKEY_CURRENT_USER, kKey, name.c_str(), RRF_RT_REG_DWORD, nullptr, &value,
                        &size) == ERROR_SUCCESS &&
           value != 0;
}

void MarkUnplugged(const std::wstring& name, bool unplugged)
{
    HKEY key = nullptr;
    if (!unplugged) {
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, name.c_str());
            RegCloseKey(key);
        }
        return;
    }
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    const DWORD value = 1;
    RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                   sizeof(value));
    RegCloseKey(key);
}

} // namespace simtuner
