#include "IniText.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>

#include "Strings.h"
#include "Text.h"
#include "Unicode.h"

namespace {

std::string Trim(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return std::string();
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

bool IsBlank(const std::string& text)
{
    return Trim(text).empty();
}

bool IsComment(const std::string& text)
{
    std::string trimmed = Trim(text);
    return !trimmed.empty() && (trimmed[0] == ';' || trimmed[0] == '#');
}

bool IsHeader(const std::string& text)
{
    std::string trimmed = Trim(text);
    return !trimmed.empty() && trimmed[0] == '[';
}

// False for a header without its ']'.
bool HeaderName(const std::string& text, std::string* name)
{
    std::string trimmed = Trim(text);
    if (trimmed.size() < 2 || trimmed[0] != '[' || trimmed.back() != ']')
        return false;
    *name = trimmed.substr(1, trimmed.size() - 2);
    return true;
}

bool KeyOf(const std::string& text, std::string* key)
{
    if (IsComment(text) || IsHeader(text))
        return false;
    size_t equals = text.find('=');
    if (equals == std::string::npos)
        return false;
    *key = Trim(text.substr(0, equals));
    return true;
}

// As Windows compares file names: a program's name in any case, also
// outside ASCII.
bool SameText(const std::string& a, const std::string& b)
{
#ifdef _WIN32
    std::wstring wa = Widen(a), wb = Widen(b);
    return CompareStringOrdinal(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                                static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
#else
    return SameTextIgnoringCase(a, b);
#endif
}

// Decimal, or hexadecimal after 0x, up to 255, as the key map reads codes.
bool ReadCode(const std::string& key, unsigned* code)
{
    bool hex = key.size() > 2 && key[0] == '0' && (key[1] == 'x' || key[1] == 'X');
    const char* digits = key.c_str() + (hex ? 2 : 0);
    if (!(hex ? isxdigit(static_cast<unsigned char>(*digits))
              : isdigit(static_cast<unsigned char>(*digits))))
        return false; // strtoul would take a sign or spaces
    char* end;
    unsigned long value = strtoul(digits, &end, hex ? 16 : 10);
    if (*end || value > 255)
        return false;
    *code = static_cast<unsigned>(value);
    return true;
}

} // namespace

IniText IniText::Parse(const std::string& bytes, UINT ansiCodePage)
{
    IniText ini;
    ini.encoding_ = DetectEncoding(bytes, ansiCodePage);
    TextEncoding::Kind kind = ini.encoding_.kind;
    size_t unit = ini.encoding_.UnitSize();
    auto unitAt = [&](size_t i) -> unsigned {
        auto byte = [&](size_t at) { return static_cast<unsigned char>(bytes[at]); };
        if (unit == 1)
            return byte(i);
        return kind == TextEncoding::Kind::Utf16Le ? byte(i) | byte(i + 1) << 8
                                                   : byte(i) << 8 | byte(i + 1);
    };
    size_t start = ini.encoding_.Mark().size();
    // Half a code unit at the end of a UTF-16 file (one cut short) stays
    // the file's last byte: a line added after it would otherwise start in
    // the middle of a unit and read as another text.
    size_t end = bytes.size() - (bytes.size() - start) % unit;
    ini.tail_ = bytes.substr(end);
    for (size_t i = start; i + unit <= end; i += unit) {
        if (unitAt(i) != '\n')
            continue;
        Line line;
        size_t contentEnd = i;
        line.end = End::Lf;
        if (contentEnd >= start + unit && unitAt(contentEnd - unit) == '\r') {
            contentEnd -= unit;
            line.end = End::CrLf;
        }
        line.bytes = bytes.substr(start, contentEnd - start);
        ini.lines_.push_back(line);
        start = i + unit;
    }
    if (start < end) { // the last line, without a line end
        Line line;
        line.bytes = bytes.substr(start, end - start);
        ini.lines_.push_back(line);
    }
    for (Line& line : ini.lines_)
        line.text = DecodeText(line.bytes, ini.encoding_);
    return ini;
}

std::string IniText::Bytes() const
{
    std::string lf, crlf;
    EncodeText("\n", encoding_, &lf);
    EncodeText("\r\n", encoding_, &crlf);
    std::string bytes = encoding_.Mark();
    for (const Line& line : lines_)
        bytes += line.bytes + (line.end == End::Lf ? lf : line.end == End::CrLf ? crlf : "");
    return bytes + tail_;
}

bool IniText::Set(const std::string& section, const KeyMatch& match, const std::string& text,
                  std::string* error)
{
    if (text.find_first_of("\r\n") != std::string::npos) {
        *error = strings::kIniLineBreak;
        return false;
    }
    if (section.empty() || section.find_first_of("\r\n[]") != std::string::npos) {
        *error = strings::kIniBadSection + section + "'";
        return false;
    }
    Line line;
    if (!Encode(text, &line, error))
        return false;
    std::vector<Section> sections = FindSections(section);
    for (const Section& found : sections) {
        for (size_t i = found.header + 1; i < found.end; ++i) {
            std::string key;
            if (KeyOf(lines_[i].text, &key) && match(key)) {
                lines_[i].bytes = line.bytes;
                lines_[i].text = line.text;
                return true;
            }
        }
    }
    if (!sections.empty()) {
        Insert(InsertionPoint(sections.front()), line);
        return true;
    }
    Line header;
    if (!Encode("[" + section + "]", &header, error))
        return false;
    if (!lines_.empty() && !IsBlank(lines_.back().text))
        Insert(lines_.size(), Line());
    Insert(lines_.size(), header);
    Insert(lines_.size(), line);
    return true;
}

size_t IniText::Remove(const std::string& section, const KeyMatch& match)
{
    size_t removed = 0;
    std::vector<Section> sections = FindSections(section);
    // From the back, so that the indexes still to visit stay valid.
    for (auto found = sections.rbegin(); found != sections.rend(); ++found) {
        for (size_t i = found->end; i-- > found->header + 1;) {
            std::string key;
            if (KeyOf(lines_[i].text, &key) && match(key)) {
                lines_.erase(lines_.begin() + i);
                ++removed;
            }
        }
    }
    return removed;
}

std::vector<IniText::Section> IniText::FindSections(const std::string& name) const
{
    std::vector<Section> sections;
    bool open = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (!IsHeader(lines_[i].text))
            continue;
        if (open)
            sections.back().end = i;
        std::string header;
        open = HeaderName(lines_[i].text, &header) && SameSection(header, name);
        if (open)
            sections.push_back({i, lines_.size()});
    }
    return sections;
}

size_t IniText::InsertionPoint(const Section& section) const
{
    size_t first = section.header + 1;
    size_t at = section.end;
    // Comments set off by a blank line just above the next header introduce
    // that section: the new line goes above them.
    if (at < lines_.size()) {
        size_t comments = at;
        while (comments > first && IsComment(lines_[comments - 1].text))
            --comments;
        if (comments < at && comments > first && IsBlank(lines_[comments - 1].text))
            at = comments;
    }
    while (at > first && IsBlank(lines_[at - 1].text))
        --at;
    return at;
}

void IniText::Insert(size_t at, Line line)
{
    line.end = NewLineEnd();
    // A line added after a last line without a line end gives it one and
    // takes its place: the file still ends as it did.
    if (at == lines_.size() && at > 0 && lines_.back().end == End::None) {
        lines_.back().end = line.end;
        line.end = End::None;
    }
    lines_.insert(lines_.begin() + at, line);
}

IniText::End IniText::NewLineEnd() const
{
    size_t lf = 0, crlf = 0;
    for (const Line& line : lines_) {
        lf += line.end == End::Lf;
        crlf += line.end == End::CrLf;
    }
    return lf > crlf ? End::Lf : End::CrLf;
}

bool IniText::Encode(const std::string& text, Line* line, std::string* error) const
{
    if (!EncodeText(text, encoding_, &line->bytes)) {
        char reason[sizeof(strings::kIniNotInCodePage) + 16];
        snprintf(reason, sizeof(reason), strings::kIniNotInCodePage, encoding_.codePage);
        bool ansi = encoding_.kind == TextEncoding::Kind::Ansi;
        *error = (ansi ? reason : strings::kIniNotUtf8) + text;
        return false;
    }
    line->text = text;
    return true;
}

IniText::KeyMatch MatchKeyCode(unsigned code)
{
    return [code](const std::string& key) {
        unsigned value;
        return ReadCode(key, &value) && value == code;
    };
}

IniText::KeyMatch MatchName(const std::string& name)
{
    return [name](const std::string& key) { return SameText(key, name); };
}

bool SameSection(const std::string& a, const std::string& b)
{
    // "Keys : vlc.exe" is "Keys:vlc.exe".
    auto split = [](const std::string& name, std::string* program) {
        size_t colon = name.find(':');
        *program = colon == std::string::npos ? std::string() : Trim(name.substr(colon + 1));
        return std::make_pair(Trim(name.substr(0, colon)), colon != std::string::npos);
    };
    std::string programA, programB;
    auto baseA = split(a, &programA), baseB = split(b, &programB);
    return baseA.second == baseB.second && SameText(baseA.first, baseB.first) &&
           SameText(programA, programB);
}
