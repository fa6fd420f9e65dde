#include "AnsiPath.h"

#include <windows.h>

namespace {

std::wstring ShortPath(const std::wstring& path)
{
    DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (!size)
        return std::wstring();
    std::wstring shortPath(size, L'\0');
    DWORD length = GetShortPathNameW(path.c_str(), &shortPath[0], size);
    if (!length || length >= size)
        return std::wstring();
    shortPath.resize(length);
    return shortPath;
}

} // namespace

bool ToAnsiExactly(const std::wstring& path, std::string* ansi)
{
    ansi->clear();
    if (path.empty())
        return true;
    // A UTF-8 ANSI code page (Windows' beta option) holds every character,
    // and refuses the flags that detect a lost one.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lost = FALSE;
    int count = WideCharToMultiByte(CP_ACP, flags, path.data(), static_cast<int>(path.size()),
                                    nullptr, 0, nullptr, utf8 ? nullptr : &lost);
    if (count <= 0 || lost)
        return false;
    ansi->resize(count);
    WideCharToMultiByte(CP_ACP, flags, path.data(), static_cast<int>(path.size()), &(*ansi)[0],
                        count, nullptr, nullptr);
    return true;
}

bool AnsiPathFor(const std::wstring& path, std::string* ansi)
{
    if (ToAnsiExactly(path, ansi))
        return true;
    std::wstring shortPath = ShortPath(path);
    if (shortPath.empty()) {
        size_t slash = path.find_last_of(L"\\/");
        if (slash == std::wstring::npos)
            return false;
        std::wstring folder = ShortPath(path.substr(0, slash));
        if (folder.empty())
            return false;
        shortPath = folder + path.substr(slash);
    }
    return ToAnsiExactly(shortPath, ansi);
}
