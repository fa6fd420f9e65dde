#include "Unicode.h"

namespace {

const char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

// The character at *at, which moves past it; false for a sequence that is
// not UTF-8, past which *at moves by one byte, as a reader starts again at
// the next one.
bool NextCodePoint(const std::string& utf8, size_t* at, char32_t* c)
{
    auto byte = [&](size_t i) { return static_cast<unsigned char>(utf8[i]); };
    unsigned char lead = byte(*at);
    size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2
                                : lead >= 0xE0 && lead <= 0xEF   ? 3
                                : lead >= 0xF0 && lead <= 0xF4   ? 4
                                                                 : 0;
    if (length == 0 || *at + length > utf8.size()) {
        ++*at;
        return false;
    }
    char32_t value = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        unsigned char next = byte(*at + i);
        if ((next & 0xC0) != 0x80) {
            ++*at;
            return false;
        }
        value = value << 6 | (next & 0x3F);
    }
    static const char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kLeast[length] || value > 0x10FFFF || IsSurrogate(value)) {
        ++*at;
        return false;
    }
    *at += length;
    *c = value;
    return true;
}

void AppendUtf8(char32_t c, std::string* utf8)
{
    if (c < 0x80) {
        *utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
        *utf8 += static_cast<char>(0xC0 | c >> 6);
        *utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *utf8 += static_cast<char>(0xE0 | c >> 12);
        *utf8 += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        *utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *utf8 += static_cast<char>(0xF0 | c >> 18);
        *utf8 += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        *utf8 += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        *utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The simple capital of c in Latin-1, Latin Extended-A, Greek and Cyrillic;
// c itself elsewhere and where it has none.
char32_t Capital(char32_t c)
{
    if (c >= 'a' && c <= 'z')
        return c - 0x20;
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return c - 0x20;
    if (c == 0xFF)
        return 0x178;
    // Latin Extended-A pairs capitals and small letters: even and odd from
    // U+0100 to U+0137 and from U+014A to U+0177, odd and even from U+0139
    // to U+0148 and from U+0179 to U+017E.
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return c & ~char32_t(1);
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c & 1) ? c : c - 1;
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2)
        return c - 0x20;
    if (c == 0x3C2) // final sigma
        return 0x3A3;
    if (c >= 0x430 && c <= 0x44F)
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    return c;
}

} // namespace

bool Utf16FromUtf8(const std::string& utf8, bool strict, Utf16* utf16)
{
    utf16->clear();
    for (size_t at = 0; at < utf8.size();) {
        char32_t c = kReplacement;
        if (!NextCodePoint(utf8, &at, &c) && strict)
            return false;
        if (c >= 0x10000) {
            utf16->push_back(static_cast<Utf16::value_type>(0xD800 + ((c - 0x10000) >> 10)));
            utf16->push_back(static_cast<Utf16::value_type>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            utf16->push_back(static_cast<Utf16::value_type>(c));
        }
    }
    return true;
}

bool Utf8FromUtf16(const Utf16& utf16, bool strict, std::string* utf8)
{
    utf8->clear();
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = static_cast<char16_t>(utf16[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size()) {
            char32_t low = static_cast<char16_t>(utf16[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (IsSurrogate(c)) {
            if (strict)
                return false;
            c = kReplacement;
        }
        AppendUtf8(c, utf8);
    }
    return true;
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b)
{
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        size_t startA = i, startB = j;
        char32_t ca = 0, cb = 0;
        bool validA = NextCodePoint(a, &i, &ca), validB = NextCodePoint(b, &j, &cb);
        if (!validA || !validB) {
            if (validA != validB || a[startA] != b[startB])
                return false;
            continue;
        }
        if (Capital(ca) != Capital(cb))
            return false;
    }
    return i == a.size() && j == b.size();
}
