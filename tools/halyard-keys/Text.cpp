#include "Text.h"

#include <windows.h>

#include <shlwapi.h>

#include "HostMessages.h"
#include "TextEncoding.h"

namespace {

std::wstring ToWide(UINT codePage, DWORD flags, const char* text, size_t length, bool* ok)
{
    *ok = true;
    if (!length)
        return std::wstring();
    int count = MultiByteToWideChar(codePage, flags, text, static_cast<int>(length), nullptr, 0);
    if (count <= 0) {
        *ok = false;
        return std::wstring();
    }
    std::wstring wide(count, L'\0');
    MultiByteToWideChar(codePage, flags, text, static_cast<int>(length), &wide[0], count);
    return wide;
}

} // namespace

std::wstring Widen(const std::string& utf8)
{
    bool ok;
    return ToWide(CP_UTF8, 0, utf8.data(), utf8.size(), &ok);
}

std::string Utf8FromWide(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    int count = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                    nullptr, 0, nullptr, nullptr);
    std::string utf8(count > 0 ? count : 0, '\0');
    if (count > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0],
                            count, nullptr, nullptr);
    return utf8;
}

std::string Utf8FromAnsi(const std::string& ansi)
{
    bool ok;
    return Utf8FromWide(ToWide(CP_ACP, 0, ansi.data(), ansi.size(), &ok));
}

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

std::string DecodeTextFile(const std::string& bytes)
{
    TextEncoding encoding = DetectEncoding(bytes);
    return DecodeText(bytes.substr(encoding.Mark().size()), encoding);
}

std::string SystemText(unsigned long code)
{
    return Utf8FromAnsi(SystemMessage(code));
}
