#include "Text.h"

#include <windows.h>

#include <shlwapi.h>

#include "HostMessages.h"

std::string DisplayPath(const std::wstring& path, unsigned maxChars)
{
    wchar_t unexpanded[MAX_PATH];
    std::wstring shown =
        PathUnExpandEnvStringsW(path.c_str(), unexpanded, MAX_PATH) ? unexpanded : path;
    std::wstring compact(maxChars + 1, L'\0');
    if (PathCompactPathExW(&compact[0], shown.c_str(), maxChars + 1, 0)) {
        compact.resize(wcslen(compact.c_str()));
        shown = compact;
    }
    return Utf8FromWide(shown);
}

std::string SystemText(unsigned long code)
{
    return Utf8FromAnsi(SystemMessage(code));
}
