#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include "IniText.h"

namespace {

// The ANSI code page the tests write in, whatever the machine's is.
const UINT kAnsi = 1252;

enum class Encoding { Ansi, Utf8, Utf8Mark, Utf16Le, Utf16Be };

#ifndef _WIN32
// Natively, the C library's conversion stands in for Windows' (the code
// under test converts by hand there): UTF-8 text in another encoding.
std::string Iconv(const std::string& utf8, const char* to)
{
    iconv_t convert = iconv_open(to, "UTF-8");
    std::string out(utf8.size() * 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    char* at = &out[0];
    size_t left = utf8.size(), room = out.size();
    size_t done = iconv(convert, &in, &left, &at, &room);
    iconv_close(convert);
    EXPECT_NE(done, static_cast<size_t>(-1)) << to;
    out.resize(out.size() - room);
    return out;
}
#endif

// A file's bytes from its text written with "\n" (UTF-8), in an encoding
// and a line-end style, made here without the code under test.
std::string FileBytes(const std::string& text, Encoding encoding, const char* lineEnd)
{
    std::string lines;
    for (char c : text)
        lines += c == '\n' ? std::string(lineEnd) : std::string(1, c);
#ifdef _WIN32
    std::wstring wide(lines.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, lines.data(), static_cast<int>(lines.size()),
                                    &wide[0], static_cast<int>(wide.size())));
#else
    std::string units = Iconv(lines, "UTF-16LE");
    std::u16string wide(units.size() / 2, u'\0');
    for (size_t i = 0; i < wide.size(); ++i)
        wide[i] = static_cast<char16_t>(static_cast<unsigned char>(units[2 * i]) |
                                        static_cast<unsigned char>(units[2 * i + 1]) << 8);
#endif
    std::string bytes;
    switch (encoding) {
    case Encoding::Ansi:
#ifdef _WIN32
        bytes.resize(wide.size() * 2);
        bytes.resize(WideCharToMultiByte(kAnsi, 0, wide.data(), static_cast<int>(wide.size()),
                                         &bytes[0], static_cast<int>(bytes.size()), nullptr,
                                         nullptr));
#else
        bytes = Iconv(lines, "CP1252");
#endif
        return bytes;
    case Encoding::Utf8:
        return lines;
    case Encoding::Utf8Mark:
        return "\xEF\xBB\xBF" + lines;
    case Encoding::Utf16Le:
    case Encoding::Utf16Be:
        bytes = encoding == Encoding::Utf16Le ? "\xFF\xFE" : "\xFE\xFF";
        for (auto c : wide) {
            char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
            bytes += encoding == Encoding::Utf16Le ? std::string{low, high}
                                                   : std::string{high, low};
        }
        return bytes;
    }
    return bytes;
}

const Encoding kEncodings[] = {Encoding::Ansi, Encoding::Utf8, Encoding::Utf8Mark,
                               Encoding::Utf16Le, Encoding::Utf16Be};
const char* const kLineEnds[] = {"\r\n", "\n"};

// The user's file: a comment outside ASCII (so that the ANSI file is not
// also UTF-8), the library's section, keys with comments, a program's section
// and the options.
const char kFile[] = "; Réglages\n"
                     "[Custom]\n"
                     "MaskCode=0x40BF\n"
                     "\n"
                     "[ Keys ]\n"
                     "; the OK key\n"
                     "0X12 = Space\n"
                     "  0x13=Esc\n"
                     "\n"
                     "[keys:VLC.EXE]\n"
                     "18 = Alt+F4\n"
                     "\n"
                     "; How long a key counts as held\n"
                     "[Options]\n"
                     "RepeatGuardMs=400\n";

struct EditCase {
    const char* what;
    const char* before;
    bool remove;
    const char* section;
    int code;         // the key to match; -1: by name
    const char* name; // when code is -1
    const char* line; // Set
    const char* after;
};

const EditCase kEdits[] = {
    {"replaces the first line of the key, matched by value", kFile, false, "Keys", 18, nullptr,
     "0x12 = Enter",
     "; Réglages\n[Custom]\nMaskCode=0x40BF\n\n[ Keys ]\n; the OK key\n0x12 = Enter\n  0x13=Esc\n"
     "\n[keys:VLC.EXE]\n18 = Alt+F4\n\n; How long a key counts as held\n[Options]\n"
     "RepeatGuardMs=400\n"},
    {"adds after the section's last line, before the blank line", kFile, false, "keys", 0x20,
     nullptr, "0x20 = run: café.exe",
     "; Réglages\n[Custom]\nMaskCode=0x40BF\n\n[ Keys ]\n; the OK key\n0X12 = Space\n  0x13=Esc\n"
     "0x20 = run: café.exe\n\n[keys:VLC.EXE]\n18 = Alt+F4\n\n; How long a key counts as held\n"
     "[Options]\nRepeatGuardMs=400\n"},
    {"removes from [Keys] only", kFile, true, "KEYS", 0x12, nullptr, nullptr,
     "; Réglages\n[Custom]\nMaskCode=0x40BF\n\n[ Keys ]\n; the OK key\n  0x13=Esc\n"
     "\n[keys:VLC.EXE]\n18 = Alt+F4\n\n; How long a key counts as held\n[Options]\n"
     "RepeatGuardMs=400\n"},
    {"replaces in a program's section, its name in any case", kFile, false, "Keys:vlc.exe", 0x12,
     nullptr, "0x12 = Space",
     "; Réglages\n[Custom]\nMaskCode=0x40BF\n\n[ Keys ]\n; the OK key\n0X12 = Space\n  0x13=Esc\n"
     "\n[keys:VLC.EXE]\n0x12 = Space\n\n; How long a key counts as held\n[Options]\n"
     "RepeatGuardMs=400\n"},
    {"adds to a program's section above the next section's comment", kFile, false, "Keys:Vlc.exe",
     0x13, nullptr, "0x13 = nothing",
     "; Réglages\n[Custom]\nMaskCode=0x40BF\n\n[ Keys ]\n; the OK key\n0X12 = Space\n  0x13=Esc\n"
     "\n[keys:VLC.EXE]\n18 = Alt+F4\n0x13 = nothing\n\n; How long a key counts as held\n"
     "[Options]\nRepeatGuardMs=400\n"},
    {"creates a program's section at the end", kFile, false, "Keys:mpc-hc.exe", 0x12, nullptr,
     "0x12 = Space",
     "; Réglages\n[Custom]\nMaskCode=0x40BF\n\n[ Keys ]\n; the OK key\n0X12 = Space\n  0x13=Esc\n"
     "\n[keys:VLC.EXE]\n18 = Alt+F4\n\n; How long a key counts as held\n[Options]\n"
     "RepeatGuardMs=400\n\n[Keys:mpc-hc.exe]\n0x12 = Space\n"},
    {"replaces an option whatever its case", kFile, false, "options", -1, "repeatguardms",
     "RepeatGuardMs=250",
     "; Réglages\n[Custom]\nMaskCode=0x40BF\n\n[ Keys ]\n; the OK key\n0X12 = Space\n  0x13=Esc\n"
     "\n[keys:VLC.EXE]\n18 = Alt+F4\n\n; How long a key counts as held\n[Options]\n"
     "RepeatGuardMs=250\n"},
    {"adds an option to the last section", kFile, false, "Options", -1, "ShowKeys", "ShowKeys = 1",
     "; Réglages\n[Custom]\nMaskCode=0x40BF\n\n[ Keys ]\n; the OK key\n0X12 = Space\n  0x13=Esc\n"
     "\n[keys:VLC.EXE]\n18 = Alt+F4\n\n; How long a key counts as held\n[Options]\n"
     "RepeatGuardMs=400\nShowKeys = 1\n"},
    {"removes every duplicate, in every section of the name", "; é\n[Keys]\n0x12 = Enter\n"
     "18 = Space\n; 0x12 = Esc\n[Options]\n[KEYS]\n018 = Tab\n0x13 = Esc",
     true, "Keys", 0x12, nullptr, nullptr,
     "; é\n[Keys]\n; 0x12 = Esc\n[Options]\n[KEYS]\n0x13 = Esc"},
    {"a commented line is not the key's; a section of comments ends after them",
     "; é\n[Keys]\n; 0x12 = Enter\n", false, "Keys", 0x12, nullptr, "0x12 = Space",
     "; é\n[Keys]\n; 0x12 = Enter\n0x12 = Space\n"},
    {"after a last line without a line end", "; é\n[Keys]\n0x12 = Enter", false, "Keys", 0x13,
     nullptr, "0x13 = Esc", "; é\n[Keys]\n0x12 = Enter\n0x13 = Esc"},
    {"a new section after a last line without a line end", "; é\n[Keys]\n0x12 = Enter", false,
     "Options", -1, "ShowKeys", "ShowKeys = 1",
     "; é\n[Keys]\n0x12 = Enter\n\n[Options]\nShowKeys = 1"},
    {"one blank line before a new section, also after blank lines", "; é\n\n\n", false, "Keys",
     0x12, nullptr, "0x12 = Enter", "; é\n\n\n[Keys]\n0x12 = Enter\n"},
    {"a header without its ']' starts no section", "; é\n[Keys\n0x12 = Enter\n", false, "Keys",
     0x12, nullptr, "0x12 = Space", "; é\n[Keys\n0x12 = Enter\n\n[Keys]\n0x12 = Space\n"},
    {"removing what is not there changes nothing", kFile, true, "Keys:other.exe", 0x12, nullptr,
     nullptr, kFile},
};

TEST(IniTextTest, EditsChangeOnlyTheirLineInEveryEncodingAndLineEnd)
{
    for (const EditCase& c : kEdits) {
        IniText::KeyMatch match = c.code >= 0 ? MatchKeyCode(c.code) : MatchName(c.name);
        for (Encoding encoding : kEncodings) {
            for (const char* lineEnd : kLineEnds) {
                SCOPED_TRACE(::testing::Message()
                             << c.what << "; encoding " << static_cast<int>(encoding)
                             << (lineEnd[0] == '\r' ? ", CRLF" : ", LF"));
                IniText text = IniText::Parse(FileBytes(c.before, encoding, lineEnd), kAnsi);
                std::string error;
                if (c.remove)
                    text.Remove(c.section, match);
                else
                    ASSERT_TRUE(text.Set(c.section, match, c.line, &error)) << error;
                EXPECT_EQ(text.Bytes(), FileBytes(c.after, encoding, lineEnd));
            }
        }
    }
}

TEST(IniTextTest, UnchangedTextIsByteForByteTheFile)
{
    // Mixed line ends, an odd trailing byte of UTF-16, bytes that are no
    // character: read and written back as they were.
    const std::string files[] = {
        "[Keys]\r\n0x12 = Enter\n\r\n; \x81\x8D\r",
        std::string("\xFF\xFE[\0K\0]\0\n\0x", 9),
        std::string("\xFE\xFF\0[\0K\0]\0\r\0\n\xD8\x00", 14),
    };
    for (const std::string& bytes : files) {
        IniText text = IniText::Parse(bytes, kAnsi);
        EXPECT_EQ(text.Bytes(), bytes);
        EXPECT_EQ(text.Remove("K", MatchName("x")), 0u);
        EXPECT_EQ(text.Bytes(), bytes);
    }
}

TEST(IniTextTest, ALineAddedToAUtf16FileCutShortReadsBack)
{
    // Half a code unit at the end (a file cut short) stays the last byte;
    // the new lines before it keep to the units, and so read as written.
    for (Encoding encoding : {Encoding::Utf16Le, Encoding::Utf16Be}) {
        const std::string whole = FileBytes("[Keys]\n0x12 = Enter", encoding, "\n");
        IniText text = IniText::Parse(whole + "x", kAnsi);
        std::string error;
        ASSERT_TRUE(text.Set("Names", MatchKeyCode(0x13), "0x13 = KEY_OK", &error));
        EXPECT_EQ(text.Bytes(), FileBytes("[Keys]\n0x12 = Enter\n\n[Names]\n0x13 = KEY_OK",
                                          encoding, "\n") +
                                    "x");
    }
}

TEST(IniTextTest, ANewLineEndsAsMostOfTheFilesLinesOrAsWindowsDoes)
{
    IniText text = IniText::Parse("[Keys]\r\n0x12 = Enter\n0x13 = Esc\n", kAnsi);
    std::string error;
    ASSERT_TRUE(text.Set("Keys", MatchKeyCode(0x14), "0x14 = Tab", &error));
    EXPECT_EQ(text.Bytes(), "[Keys]\r\n0x12 = Enter\n0x13 = Esc\n0x14 = Tab\n");
    // A file without a line end yet: CRLF, in its encoding.
    for (Encoding encoding : kEncodings) {
        IniText empty = IniText::Parse(FileBytes("", encoding, ""), kAnsi);
        ASSERT_TRUE(empty.Set("Keys", MatchKeyCode(0x12), "0x12 = Enter", &error));
        EXPECT_EQ(empty.Bytes(), FileBytes("[Keys]\n0x12 = Enter\n", encoding, "\r\n"));
    }
}

TEST(IniTextTest, RefusesWhatTheFileCannotHoldAndChangesNothing)
{
    const std::string ansi = FileBytes("; é\n[Keys]\n0x12 = Enter\n", Encoding::Ansi, "\r\n");
    struct {
        const std::string bytes;
        const char* section;
        const char* line;
        const char* reason;
    } cases[] = {
        {ansi, "Keys", "0x12 = run: Плеер.exe", "code page 1252"},
        {ansi, "Keys", "0x12 = run: a.exe\r\n0x13 = run: b.exe", "line break"},
        {ansi, "Keys]\n[Other", "0x12 = Esc", "not a section name"},
        {ansi, "", "0x12 = Esc", "not a section name"},
        {"[Keys]\n", "Keys", "0x12 = \xC3", "not valid UTF-8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        IniText text = IniText::Parse(c.bytes, kAnsi);
        std::string error;
        EXPECT_FALSE(text.Set(c.section, MatchKeyCode(0x12), c.line, &error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(text.Bytes(), c.bytes);
    }
    // What the code page holds is written in it.
    IniText text = IniText::Parse(ansi, kAnsi);
    std::string error;
    ASSERT_TRUE(text.Set("Keys", MatchKeyCode(0x12), "0x12 = run: Müller.exe", &error));
    EXPECT_EQ(text.Bytes(), FileBytes("; é\n[Keys]\n0x12 = run: Müller.exe\n", Encoding::Ansi,
                                      "\r\n"));
}

TEST(IniTextTest, KeysAndSectionsMatchAsTheKeyMapReadsThem)
{
    for (const char* key : {"18", "0x12", "0X12", "018", "0x012"})
        EXPECT_TRUE(MatchKeyCode(18)(key)) << key;
    for (const char* key : {"19", "0x", "", "x12", "-18", " 18", "+18", "0x1G", "274", "1 8"})
        EXPECT_FALSE(MatchKeyCode(18)(key)) << key;
    EXPECT_TRUE(MatchName("ShowKeys")("SHOWKEYS"));
    EXPECT_FALSE(MatchName("ShowKeys")("ShowKey"));
    EXPECT_TRUE(SameSection("Keys:vlc.exe", "keys : VLC.EXE"));
    EXPECT_TRUE(SameSection("Keys:Ärger.exe", "keys:ärger.EXE")); // as Windows' file names
    EXPECT_FALSE(SameSection("Keys", "Keys:vlc.exe"));
    EXPECT_FALSE(SameSection("Keys:", "Keys"));
    EXPECT_FALSE(SameSection("Keys:vlc.exe", "Keys:vlc"));
}

} // namespace
