#include "TextEncoding.h"

#include <string.h>

#include <utility>

#include "Unicode.h"

namespace {

const char kUtf8Mark[] = "\xEF\xBB\xBF";
const char kUtf16LeMark[] = "\xFF\xFE";
const char kUtf16BeMark[] = "\xFE\xFF";

bool StartsWith(const std::string& bytes, const char* mark)
{
    return bytes.compare(0, strlen(mark), mark) == 0;
}

#ifdef _WIN32

// False when flags include MB_ERR_INVALID_CHARS and bytes hold an invalid
// sequence.
bool ToWide(UINT codePage, DWORD flags, const std::string& bytes, Utf16* wide)
{
    wide->clear();
    if (bytes.empty())
        return true;
    int count = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()),
                                    nullptr, 0);
    if (count <= 0)
        return false;
    wide->resize(count);
    MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), &(*wide)[0],
                        count);
    return true;
}

// usedDefault null: the code page has no default character (UTF-8), where
// WideCharToMultiByte refuses the flags that would report one.
bool FromWide(UINT codePage, const Utf16& wide, std::string* bytes, bool exact)
{
    bytes->clear();
    if (wide.empty())
        return true;
    bool utf8 = codePage == CP_UTF8;
    DWORD flags = utf8 ? (exact ? WC_ERR_INVALID_CHARS : 0) : (exact ? WC_NO_BEST_FIT_CHARS : 0);
    BOOL usedDefault = FALSE;
    BOOL* used = utf8 || !exact ? nullptr : &usedDefault;
    int count = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()),
                                    nullptr, 0, nullptr, used);
    if (count <= 0 || usedDefault)
        return false;
    bytes->resize(count);
    WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), &(*bytes)[0],
                        count, nullptr, nullptr);
    return true;
}

#else

// Elsewhere the conversions are by hand. UTF-8 follows Windows' rules; an
// ANSI code page is taken as Windows-1252 (Western European, the ANSI code
// page of most Windows installations), whatever its number: the native
// build has no code page tables, and it exists to test the logic around the
// conversions, not the system's tables. Windows-1252 maps every byte to one
// character and back (the five bytes it leaves undefined are the C1
// controls of the same value, as Windows reads them), so that an ANSI file
// reads and writes back exactly as on Windows in that code page.
const DWORD MB_ERR_INVALID_CHARS = 0x08;

const char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

UINT GetACP()
{
    return 1252;
}

bool ToWide(UINT codePage, DWORD flags, const std::string& bytes, Utf16* wide)
{
    if (codePage == CP_UTF8)
        return Utf16FromUtf8(bytes, (flags & MB_ERR_INVALID_CHARS) != 0, wide);
    wide->clear();
    for (char c : bytes) {
        unsigned char byte = static_cast<unsigned char>(c);
        wide->push_back(byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte);
    }
    return true;
}

// Exact: false for a character the code page cannot hold (or, in UTF-8, a
// lone surrogate); else such a character is '?' (U+FFFD in UTF-8).
bool FromWide(UINT codePage, const Utf16& wide, std::string* bytes, bool exact)
{
    if (codePage == CP_UTF8)
        return Utf8FromUtf16(wide, exact, bytes);
    bytes->clear();
    for (char16_t unit : wide) {
        int byte = unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF) ? unit : -1;
        for (int i = 0; byte < 0 && i < 32; ++i) {
            if (kWindows1252High[i] == unit)
                byte = 0x80 + i;
        }
        if (byte < 0 && exact)
            return false;
        *bytes += static_cast<char>(byte < 0 ? '?' : byte);
    }
    return true;
}

#endif

void SwapBytes(std::string* bytes)
{
    for (size_t i = 0; i + 1 < bytes->size(); i += 2)
        std::swap((*bytes)[i], (*bytes)[i + 1]);
}

} // namespace

std::string TextEncoding::Mark() const
{
    switch (kind) {
    case Kind::Utf16Le:
        return kUtf16LeMark;
    case Kind::Utf16Be:
        return kUtf16BeMark;
    case Kind::Utf8:
        return utf8Mark ? kUtf8Mark : "";
    case Kind::Ansi:
        break;
    }
    return std::string();
}

size_t TextEncoding::UnitSize() const
{
    return kind == Kind::Utf16Le || kind == Kind::Utf16Be ? 2 : 1;
}

TextEncoding DetectEncoding(const std::string& bytes, UINT ansiCodePage)
{
    TextEncoding encoding;
    if (StartsWith(bytes, kUtf16LeMark)) {
        encoding.kind = TextEncoding::Kind::Utf16Le;
    } else if (StartsWith(bytes, kUtf16BeMark)) {
        encoding.kind = TextEncoding::Kind::Utf16Be;
    } else if (StartsWith(bytes, kUtf8Mark)) {
        encoding.utf8Mark = true;
    } else {
        Utf16 wide;
        if (!ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, &wide)) {
            encoding.kind = TextEncoding::Kind::Ansi;
            // By number: where the ANSI code page is UTF-8 (a Windows 10
            // option), writing must take UTF-8's rules, not a code page's.
            encoding.codePage = ansiCodePage == CP_ACP ? GetACP() : ansiCodePage;
        }
    }
    return encoding;
}

std::string DecodeText(const std::string& bytes, const TextEncoding& encoding)
{
    Utf16 wide;
    switch (encoding.kind) {
    case TextEncoding::Kind::Utf8:
        ToWide(CP_UTF8, 0, bytes, &wide);
        break;
    case TextEncoding::Kind::Ansi:
        ToWide(encoding.codePage, 0, bytes, &wide);
        break;
    case TextEncoding::Kind::Utf16Le:
    case TextEncoding::Kind::Utf16Be: {
        std::string units = bytes.substr(0, bytes.size() & ~size_t(1));
        if (encoding.kind == TextEncoding::Kind::Utf16Be)
            SwapBytes(&units);
        wide.resize(units.size() / 2);
        memcpy(&wide[0], units.data(), units.size());
        break;
    }
    }
    std::string utf8;
    FromWide(CP_UTF8, wide, &utf8, false);
    return utf8;
}

bool EncodeText(const std::string& utf8, const TextEncoding& encoding, std::string* bytes)
{
    Utf16 wide;
    if (!ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, &wide))
        return false;
    switch (encoding.kind) {
    case TextEncoding::Kind::Utf8:
        *bytes = utf8;
        return true;
    case TextEncoding::Kind::Ansi: {
        // No best fit ('é' as 'e') and no default character; and the bytes
        // must read back as the same text, which also catches the code pages
        // where those flags are not enough.
        Utf16 back;
        return FromWide(encoding.codePage, wide, bytes, true) &&
               ToWide(encoding.codePage, 0, *bytes, &back) && back == wide;
    }
    case TextEncoding::Kind::Utf16Le:
    case TextEncoding::Kind::Utf16Be:
        bytes->assign(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
        if (encoding.kind == TextEncoding::Kind::Utf16Be)
            SwapBytes(bytes);
        return true;
    }
    return false;
}

std::string DecodeTextFile(const std::string& bytes)
{
    TextEncoding encoding = DetectEncoding(bytes);
    return DecodeText(bytes.substr(encoding.Mark().size()), encoding);
}
