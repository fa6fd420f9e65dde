#include "ForegroundProgram.h"

#include "Text.h"

std::string ForegroundProgram()
{
    return ProgramOfWindow(GetForegroundWindow());
}

std::string ProgramOfWindow(HWND window)
{
    DWORD processId = 0;
    if (!window || !GetWindowThreadProcessId(window, &processId) || !processId)
        return std::string();
    // The limited right is granted for processes of higher integrity too.
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return std::string();
    wchar_t path[MAX_PATH * 4];
    DWORD length = sizeof(path) / sizeof(path[0]);
    BOOL ok = QueryFullProcessImageNameW(process, 0, path, &length);
    CloseHandle(process);
    if (!ok)
        return std::string();
    std::wstring image(path, length);
    size_t slash = image.find_last_of(L"\\/");
    return Utf8FromWide(slash == std::wstring::npos ? image : image.substr(slash + 1));
}
