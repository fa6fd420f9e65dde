#include "Utf8.h"

#include <windows.h>

#include <shellapi.h>

namespace {

std::wstring ToWide(UINT codePage, const std::string& text)
{
    if (text.empty())
        return std::wstring();
    int count = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0);
    if (count <= 0)
        return std::wstring();
    std::wstring wide(count, L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], count);
    return wide;
}

} // namespace

std::wstring Widen(const std::string& utf8)
{
    return ToWide(CP_UTF8, utf8);
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
    return Utf8FromWide(ToWide(CP_ACP, ansi));
}

Utf8Argv::Utf8Argv()
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 0; wide && i < count; ++i)
        arguments_.push_back(Utf8FromWide(wide[i]));
    LocalFree(wide);
    for (std::string& argument : arguments_)
        pointers_.push_back(&argument[0]);
}
