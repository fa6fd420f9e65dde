// The portable core's own parts, natively: the conversions by hand that
// stand in for Windows' where the core is built without it.
#include <gtest/gtest.h>

#include "TextEncoding.h"
#include "Unicode.h"

namespace {

TEST(Unicode, Utf8AndUtf16ConvertBothWays)
{
    const std::string text = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"; // A é € 😀
    Utf16 units;
    ASSERT_TRUE(Utf16FromUtf8(text, true, &units));
    EXPECT_EQ(units.size(), 5u); // the emoji is a surrogate pair
    std::string back;
    ASSERT_TRUE(Utf8FromUtf16(units, true, &back));
    EXPECT_EQ(back, text);
}

TEST(Unicode, WhatIsNotUtf8IsRefusedOrReplaced)
{
    for (const char* bad : {"\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\x80"}) {
        Utf16 units;
        EXPECT_FALSE(Utf16FromUtf8(bad, true, &units)) << bad;
        ASSERT_TRUE(Utf16FromUtf8(bad, false, &units));
        EXPECT_EQ(units.find(u'\uFFFD'), 0u) << bad;
    }
    Utf16 lone = {u'x', static_cast<char16_t>(0xD800)};
    std::string text;
    EXPECT_FALSE(Utf8FromUtf16(lone, true, &text));
    ASSERT_TRUE(Utf8FromUtf16(lone, false, &text));
    EXPECT_EQ(text, "x\xEF\xBF\xBD");
}

TEST(Unicode, CaseAsFileNamesCompare)
{
    EXPECT_TRUE(SameTextIgnoringCase("VLC.EXE", "vlc.exe"));
    EXPECT_TRUE(SameTextIgnoringCase("\xC3\x89" "cran.exe", "\xC3\xA9" "cran.exe")); // É é
    EXPECT_TRUE(SameTextIgnoringCase("\xD0\x9F\xD0\x9B", "\xD0\xBF\xD0\xBB"));         // ПЛ пл
    EXPECT_FALSE(SameTextIgnoringCase("vlc.exe", "vlc.ex"));
    EXPECT_FALSE(SameTextIgnoringCase("\xC3\xA9", "e"));
}

TEST(TextEncoding, AnsiIsWindows1252Natively)
{
    // "€é" in Windows-1252, and back exactly.
    TextEncoding ansi = DetectEncoding("\x80\xE9");
    EXPECT_EQ(ansi.kind, TextEncoding::Kind::Ansi);
    EXPECT_EQ(DecodeText("\x80\xE9", ansi), "\xE2\x82\xAC\xC3\xA9");
    std::string bytes;
    ASSERT_TRUE(EncodeText("\xE2\x82\xAC\xC3\xA9", ansi, &bytes));
    EXPECT_EQ(bytes, "\x80\xE9");
    EXPECT_FALSE(EncodeText("\xD0\x9F", ansi, &bytes)); // Cyrillic is not in it
}

} // namespace
