#pragma once

#include <string>

// UTF-8 and UTF-16 by hand, and case without regard to the system: what the
// settings file's encodings and names need where Windows' conversions are
// not there (the text logic built natively, to be fuzzed and unit-tested
// under the sanitizers). On Windows the program takes the system's calls
// instead, which these follow.

// UTF-16 code units; the same type as Windows' wide text on Windows.
#ifdef _WIN32
using Utf16 = std::wstring;
#else
using Utf16 = std::u16string;
#endif

// UTF-8 as UTF-16. With strict, false at the first sequence that is not
// UTF-8 (a stray or missing continuation byte, an overlong form, a
// surrogate, past U+10FFFF); without it, each such sequence is U+FFFD.
bool Utf16FromUtf8(const std::string& utf8, bool strict, Utf16* utf16);
// UTF-16 as UTF-8. With strict, false at a lone surrogate; without it, a
// lone surrogate is U+FFFD.
bool Utf8FromUtf16(const Utf16& utf16, bool strict, std::string* utf8);

// Whether a and b (UTF-8) are the same text without regard to case, each
// character compared by its simple capital form, as Windows compares file
// names. The capitals known here are those of Latin, Greek and Cyrillic,
// the scripts of program names in practice; other characters must match
// exactly. Text that is not UTF-8 compares byte by byte.
bool SameTextIgnoringCase(const std::string& a, const std::string& b);
