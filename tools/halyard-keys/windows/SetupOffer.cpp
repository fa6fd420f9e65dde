#include "SetupOffer.h"

#include <windows.h>

namespace {

const wchar_t kKey[] = L"Software\\Halyard\\Keys";
const wchar_t kValue[] = L"SetupOffered";

} // namespace

bool SetupOffered()
{
    DWORD value = 0, size = sizeof(value);
    return RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &value,
                        &size) == ERROR_SUCCESS &&
           value != 0;
}

void RememberSetupOffered()
{
    // Should the registry refuse, the offer comes again at the next start:
    // better than never.
    DWORD value = 1;
    RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &value, sizeof(value));
}
