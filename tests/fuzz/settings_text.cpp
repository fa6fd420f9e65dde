// The settings file as halyard-keys reads it: bytes in any encoding, to its
// lines, its text, the key map with its names, and --check's report.

#include <stddef.h>
#include <stdint.h>

#include <set>
#include <string>

#include "CheckReport.h"
#include "FuzzCheck.h"
#include "IniText.h"
#include "KeyMap.h"
#include "MappingValue.h"
#include "TextEncoding.h"

namespace {

// Valid UTF-8 as UTF-16 with its mark, written here apart from the code
// under test.
std::string Utf16File(const std::string& utf8, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    auto unit = [&](unsigned u) {
        char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    };
    for (size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        unsigned long value = n == 1 ? c : c & (0x7F >> n);
        for (size_t k = 1; k < n; ++k)
            value = value << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += n;
        if (value >= 0x10000) {
            unit(0xD800 + ((value - 0x10000) >> 10));
            unit(0xDC00 + ((value - 0x10000) & 0x3FF));
        } else {
            unit(static_cast<unsigned>(value));
        }
    }
    return bytes;
}

void CheckMap(const KeyMap& map, const std::string& text)
{
    int lines = 1;
    for (char c : text)
        lines += c == '\n';
    int last = 0;
    for (const KeyMapError& error : map.errors) {
        Require(error.line >= last && error.line <= lines, "errors in file order, on its lines",
                error.message);
        last = error.line;
        Require(IsUtf8(error.message), "an error message is UTF-8", error.message);
    }
    for (const KeySection& section : map.sections) {
        std::set<unsigned> codes;
        for (const KeyMapping& mapping : section.mappings) {
            Require(mapping.code <= 255, "a key code is a byte");
            Require(codes.insert(mapping.code).second, "a code is mapped once in a section",
                    section.Name());
            Require(mapping.line >= 1 && mapping.line <= lines, "a mapping is on a line");
            Require(section.Find(mapping.code) == &mapping, "Find finds the mapping");
            // What --check shows reads back as the same mapping.
            std::string value = DescribeMapping(mapping), error;
            KeyMapping again;
            Require(ParseMappingValue(value, &again, &error), "a mapping's description parses",
                    value + " -> " + error);
            Require(DescribeMapping(again) == value, "a mapping reads back as itself",
                    value + " -> " + DescribeMapping(again));
        }
    }
    std::set<unsigned> codes;
    std::set<std::string> names;
    for (const ButtonName& name : map.names) {
        Require(codes.insert(name.code).second, "[Names] names a code once");
        Require(names.insert(name.name).second, "[Names] gives a name once", name.name);
        unsigned code = 256;
        Require(map.CodeOf(name.name, &code) && code == name.code && map.NameOf(code) == name.name,
                "a name and its code find each other", name.name);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);

    // The editor keeps every byte: the lines put together are the file.
    IniText ini = IniText::Parse(bytes, 1252);
    Require(ini.Bytes() == bytes, "a file's lines put together are the file");

    std::string text = DecodeTextFile(bytes);
    Require(IsUtf8(text), "a file's text is UTF-8");
    KeyMap map = ParseKeyMap(text);
    CheckMap(map, text);
    std::string report = CheckReport("halyard.ini", map);
    Require(IsUtf8(report), "the report is UTF-8");
    std::string summary = Summary(map) + "\n";
    Require(report.size() >= summary.size() &&
                report.compare(report.size() - summary.size(), summary.size(), summary) == 0,
            "the report ends with its summary");

    // The same text saved as UTF-16 (either order) is the same map.
    for (bool bigEndian : {false, true}) {
        std::string again = DecodeTextFile(Utf16File(text, bigEndian));
        Require(again == text,
                "UTF-16 reads as the same text");
        Require(CheckReport("halyard.ini", ParseKeyMap(again)) == report,
                "UTF-16 reads as the same map");
    }
    return 0;
}
