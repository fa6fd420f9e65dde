#include "UserOutput.h"

#include <windows.h>

#include "Text.h"

namespace {

std::string WithCrLf(const std::string& text)
{
    std::string result;
    for (char c : text) {
        if (c == '\n' && (result.empty() || result.back() != '\r'))
            result += '\r';
        result += c;
    }
    return result;
}

bool WriteTo(HANDLE handle, const std::string& text, bool afterPrompt)
{
    DWORD mode;
    if (GetConsoleMode(handle, &mode)) {
        // The shell does not wait for a GUI program: its prompt is already
        // on the line, so start on a new one.
        std::wstring wide = Widen(WithCrLf((afterPrompt ? "\n" : "") + text));
        DWORD written;
        return WriteConsoleW(handle, wide.c_str(), static_cast<DWORD>(wide.size()), &written,
                             nullptr) != 0;
    }
    std::string bytes = WithCrLf(text);
    DWORD written;
    return WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

} // namespace

void ShowUserOutput(const std::string& text, const std::string& title, bool problem)
{
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out && out != INVALID_HANDLE_VALUE && GetFileType(out) != FILE_TYPE_UNKNOWN &&
        WriteTo(out, text, false))
        return;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
        bool written = console != INVALID_HANDLE_VALUE && WriteTo(console, text, true);
        if (console != INVALID_HANDLE_VALUE)
            CloseHandle(console);
        FreeConsole();
        if (written)
            return;
    }
    MessageBoxW(nullptr, Widen(text).c_str(), Widen(title).c_str(),
                MB_OK | (problem ? MB_ICONWARNING : MB_ICONINFORMATION));
}
