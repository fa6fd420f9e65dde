#include "AutoStart.h"

#include <windows.h>

#include <string.h>

#include "HostMessages.h"

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

} // namespace

AutoStart::AutoStart(std::string valueName, std::string command)
    : valueName_(std::move(valueName)), command_(std::move(command))
{
}

bool AutoStart::IsOn() const
{
    char value[2048];
    DWORD size = sizeof(value) - 1;
    DWORD type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    LONG result = RegQueryValueExA(key, valueName_.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    value[size] = '\0';
    // Another copy of the program in the entry is not this one.
    return _stricmp(value, command_.c_str()) == 0;
}

bool AutoStart::Set(bool on, std::string* error) const
{
    HKEY key;
    LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &key, nullptr);
    if (result == ERROR_SUCCESS) {
        if (on)
            result = RegSetValueExA(key, valueName_.c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(command_.c_str()),
                                    static_cast<DWORD>(command_.size() + 1));
        else
            result = RegDeleteValueA(key, valueName_.c_str());
        RegCloseKey(key);
    }
    if (!on && result == ERROR_FILE_NOT_FOUND)
        result = ERROR_SUCCESS;
    if (result != ERROR_SUCCESS)
        *error = SystemMessage(static_cast<DWORD>(result));
    return result == ERROR_SUCCESS;
}

std::string AutoStart::CommandFor(const std::string& exePath, const std::string& iniPath,
                                  bool defaultIni)
{
    std::string command = "\"" + exePath + "\"";
    if (!defaultIni)
        command += " --ini \"" + iniPath + "\"";
    return command;
}
