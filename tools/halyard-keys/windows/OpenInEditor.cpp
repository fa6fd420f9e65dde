#include "OpenInEditor.h"

#include <shellapi.h>

#include "Text.h"

namespace {

bool Opened(HINSTANCE result)
{
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace

bool OpenInEditor(HWND owner, const std::wstring& path, const std::string& templateText,
                  std::string* error)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written;
        WriteFile(file, templateText.data(), static_cast<DWORD>(templateText.size()), &written,
                  nullptr);
        CloseHandle(file);
    }
    if (Opened(ShellExecuteW(owner, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL)))
        return true;
    std::wstring quoted = L"\"" + path + L"\"";
    if (Opened(ShellExecuteW(owner, L"open", L"notepad.exe", quoted.c_str(), nullptr,
                             SW_SHOWNORMAL)))
        return true;
    *error = SystemText(GetLastError());
    return false;
}
