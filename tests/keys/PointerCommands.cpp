#include "PointerCommands.h"

#include <windows.h>

#include <stdio.h>

namespace {

unsigned long long NowMs()
{
    FILETIME time;
    GetSystemTimePreciseAsFileTime(&time);
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    const unsigned long long kFrom1601To1970Ms = 11644473600000ULL;
    return value.QuadPart / 10000 - kFrom1601To1970Ms;
}

} // namespace

int CursorCommand(int x, int y)
{
    return SetCursorPos(x, y) ? 0 : 1;
}

int CursorLogCommand(const char* path, unsigned ms)
{
    FILE* file = fopen(path, "w");
    if (!file)
        return 2;
    unsigned long long start = NowMs();
    POINT last = {-1000000, -1000000};
    bool first = true;
    for (unsigned long long now = start; now - start < ms; now = NowMs()) {
        POINT at;
        if (GetCursorPos(&at) && (first || at.x != last.x || at.y != last.y)) {
            fprintf(file, "%llu %ld %ld\n", now, at.x, at.y);
            fflush(file);
            last = at;
            first = false;
        }
        Sleep(2);
    }
    fprintf(file, "end %llu\n", NowMs());
    return fclose(file) == 0 ? 0 : 1;
}

int TextCommand(const char* className)
{
    HWND window = FindWindowA(className, nullptr);
    if (!window)
        return 1;
    wchar_t text[512];
    int length = GetWindowTextW(window, text, sizeof(text) / sizeof(text[0]));
    char utf8[2048];
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, utf8, sizeof(utf8), nullptr, nullptr);
    fwrite(utf8, 1, static_cast<size_t>(bytes), stdout);
    putchar('\n');
    return 0;
}

int LimitedCommand(const char* commandLine)
{
    HANDLE own = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE |
                                                   TOKEN_ASSIGN_PRIMARY, &own))
        return 2;
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    GetTokenInformation(own, TokenElevationType, &type, sizeof(type), &size);
    HANDLE token = own;
    TOKEN_LINKED_TOKEN linked = {};
    if (type == TokenElevationTypeFull) {
        if (!GetTokenInformation(own, TokenLinkedToken, &linked, sizeof(linked), &size))
            return 2;
        token = linked.LinkedToken;
    }
    int length = MultiByteToWideChar(CP_UTF8, 0, commandLine, -1, nullptr, 0);
    wchar_t* wide = new wchar_t[length];
    MultiByteToWideChar(CP_UTF8, 0, commandLine, -1, wide, length);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessAsUserW(token, nullptr, wide, nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &process);
    delete[] wide;
    if (linked.LinkedToken)
        CloseHandle(linked.LinkedToken);
    CloseHandle(own);
    if (!started)
        return 2;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
