#include "AutoStart.h"

#include <windows.h>

#include "Text.h"

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
// As Windows writes it: the state byte, three zero bytes and, when
// disabled, the time it was disabled.
const size_t kApprovalSize = 12;
const size_t kTimeOffset = 4;
const unsigned char kDisabledBit = 0x01;
const unsigned char kEnabled = 0x02;

bool ReadValue(const wchar_t* keyName, const std::wstring& name, DWORD* type,
               std::vector<unsigned char>* data)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG result = RegQueryValueExW(key, name.c_str(), nullptr, type, nullptr, &size);
    if (result == ERROR_SUCCESS) {
        data->resize(size);
        result = RegQueryValueExW(key, name.c_str(), nullptr, type, data->data(), &size);
        data->resize(size);
    }
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

LONG WriteValue(const wchar_t* keyName, const std::wstring& name, DWORD type, const void* data,
                size_t size)
{
    HKEY key;
    LONG result = RegCreateKeyExW(HKEY_CURRENT_USER, keyName, 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    result = RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data),
                            static_cast<DWORD>(size));
    RegCloseKey(key);
    return result;
}

LONG DeleteValue(const wchar_t* keyName, const std::wstring& name)
{
    HKEY key;
    LONG result = RegOpenKeyExW(HKEY_CURRENT_USER, keyName, 0, KEY_SET_VALUE, &key);
    if (result == ERROR_SUCCESS) {
        result = RegDeleteValueW(key, name.c_str());
        RegCloseKey(key);
    }
    return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}

} // namespace

AutoStart::AutoStart(std::wstring valueName, std::wstring command)
    : valueName_(std::move(valueName)), command_(std::move(command))
{
}

bool AutoStart::IsOn(const State& state)
{
    return state.runIsThis && (state.approval.empty() || !(state.approval[0] & kDisabledBit));
}

AutoStart::Change AutoStart::ChangeFor(const State& state, bool on, unsigned long long fileTime)
{
    Change change;
    if (IsOn(state) == on)
        return change;
    if (on) {
        // Another copy's entry, or none: this copy's command goes in.
        change.writeRun = !state.runIsThis;
        if (!state.approval.empty() && (state.approval[0] & kDisabledBit)) {
            change.approval.assign(kApprovalSize, 0);
            change.approval[0] = state.approval[0] & ~kDisabledBit;
        }
    } else if (state.approval.empty()) {
        change.deleteRun = true;
    } else {
        change.approval.assign(kApprovalSize, 0);
        change.approval[0] = state.approval[0] | kDisabledBit;
        for (size_t i = 0; i < 8; ++i)
            change.approval[kTimeOffset + i] = static_cast<unsigned char>(fileTime >> (8 * i));
    }
    return change;
}

AutoStart::State AutoStart::Read() const
{
    State state;
    DWORD type = 0;
    std::vector<unsigned char> data;
    if (ReadValue(kRunKey, valueName_, &type, &data) && (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::wstring command(reinterpret_cast<const wchar_t*>(data.data()),
                             data.size() / sizeof(wchar_t));
        command.resize(wcsnlen(command.c_str(), command.size()));
        // Another copy of the program in the entry is not this one.
        state.runIsThis = CompareStringOrdinal(command.c_str(), -1, command_.c_str(), -1, TRUE) ==
                          CSTR_EQUAL;
    }
    if (ReadValue(kApprovedKey, valueName_, &type, &data) && type == REG_BINARY && !data.empty())
        state.approval = data;
    return state;
}

bool AutoStart::IsOn() const
{
    return IsOn(Read());
}

bool AutoStart::Set(bool on, std::string* error) const
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    Change change = ChangeFor(Read(), on,
                              (static_cast<unsigned long long>(now.dwHighDateTime) << 32) |
                                  now.dwLowDateTime);
    LONG result = ERROR_SUCCESS;
    if (change.writeRun)
        result = WriteValue(kRunKey, valueName_, REG_SZ, command_.c_str(),
                            (command_.size() + 1) * sizeof(wchar_t));
    if (change.deleteRun)
        result = DeleteValue(kRunKey, valueName_);
    if (result == ERROR_SUCCESS && !change.approval.empty())
        result = WriteValue(kApprovedKey, valueName_, REG_BINARY, change.approval.data(),
                            change.approval.size());
    if (result != ERROR_SUCCESS)
        *error = SystemText(static_cast<DWORD>(result));
    return result == ERROR_SUCCESS;
}

std::wstring AutoStart::CommandFor(const std::wstring& exePath, const std::wstring& iniPath,
                                   bool iniGiven)
{
    std::wstring command = L"\"" + exePath + L"\"";
    if (iniGiven)
        command += L" --ini \"" + iniPath + L"\"";
    return command;
}
