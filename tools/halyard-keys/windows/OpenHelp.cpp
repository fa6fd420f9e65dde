#include "OpenHelp.h"

#include <shellapi.h>

#include "Strings.h"
#include "Text.h"

bool OpenHelp(HWND owner, const std::wstring& exePath, std::string* error)
{
    std::wstring page = exePath.substr(0, exePath.find_last_of(L"\\/") + 1) +
                        Widen(strings::kHelpFile);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    // The reason in the last error, and no message box of the shell's own:
    // the notification says why.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner;
    info.lpFile = page.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&info))
        return true;
    DWORD code = GetLastError();
    *error = Utf8FromWide(page) + "\n" + SystemText(code);
    return false;
}
