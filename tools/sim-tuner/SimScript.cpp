#include <ctype.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>

#include "SimScript.h"

namespace simtuner {

namespace {

const unsigned long kLongestDelayMs = 24UL * 60 * 60 * 1000;

// Whole-token conversion: "12x" or "-1" are faults, not 12 or a wrapped value.
bool ParseNumber(const std::string& token, int base, unsigned long limit, unsigned long* value)
{
    std::string digits = token;
    if (base == 16 && digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits = digits.substr(2);
    if (digits.empty() || digits.size() > 10)
        return false;
    for (char c : digits) {
        bool ok = base == 16 ? isxdigit(static_cast<unsigned char>(c)) != 0
                             : isdigit(static_cast<unsigned char>(c)) != 0;
        if (!ok)
            return false;
    }
    errno = 0;
    *value = strtoul(digits.c_str(), nullptr, base);
    return errno == 0 && *value <= limit;
}

// The fields of a line, separated by white space as isspace sees it.
std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    size_t at = 0;
    for (;;) {
        while (at < line.size() && isspace(static_cast<unsigned char>(line[at])))
            ++at;
        if (at == line.size())
            return fields;
        size_t start = at;
        while (at < line.size() && !isspace(static_cast<unsigned char>(line[at])))
            ++at;
        fields.push_back(line.substr(start, at - start));
    }
}

std::string Fault(int line, const std::string& what)
{
    return "line " + std::to_string(line) + ": " + what;
}

} // namespace

bool ParsePress(const std::vector<std::string>& fields, Press* press, std::string* error)
{
    if (fields.size() < 2 || fields.size() > 3) {
        *error = "expected <custom code> <key> [<fourth>], got " + std::to_string(fields.size()) +
                 " fields";
        return false;
    }
    unsigned long code = 0, key = 0, fourth = 0;
    const char* fault = nullptr;
    if (!ParseNumber(fields[0], 16, 0xFFFF, &code))
        fault = "custom code is not a hexadecimal value up to FFFF";
    else if (!ParseNumber(fields[1], 16, 0xFF, &key))
        fault = "key is not a hexadecimal byte";
    else if (fields.size() == 3 && !ParseNumber(fields[2], 16, 0xFF, &fourth))
        fault = "fourth byte is not a hexadecimal byte";
    if (fault) {
        *error = fault;
        return false;
    }
    press->customCode = static_cast<WORD>(code);
    press->key = static_cast<BYTE>(key);
    press->fourth = static_cast<BYTE>(fields.size() == 3 ? fourth : (~key & 0xFF));
    return true;
}

bool ParseMilliseconds(const std::string& token, DWORD* ms)
{
    unsigned long value = 0;
    if (!ParseNumber(token, 10, kLongestDelayMs, &value))
        return false;
    *ms = static_cast<DWORD>(value);
    return true;
}

bool ParseScript(const std::string& text, std::vector<Press>* presses, std::string* error)
{
    std::vector<Press> parsed;
    int number = 1;
    for (size_t start = 0; start < text.size(); ++number) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        size_t comment = line.find('#');
        if (comment != std::string::npos)
            line.erase(comment);
        std::vector<std::string> tokens = Fields(line);
        if (tokens.empty())
            continue;
        Press press;
        std::string fault;
        if (tokens.size() < 3 || tokens.size() > 4)
            fault = "expected <delay ms> <custom code> <key> [<fourth>], got " +
                    std::to_string(tokens.size()) + " fields";
        else if (!ParseMilliseconds(tokens[0], &press.delayMs))
            fault = "delay is not a decimal count of milliseconds up to a day";
        else
            ParsePress(std::vector<std::string>(tokens.begin() + 1, tokens.end()), &press, &fault);
        if (!fault.empty()) {
            if (error)
                *error = Fault(number, fault);
            return false;
        }
        parsed.push_back(press);
    }
    if (presses)
        presses->swap(parsed);
    return true;
}

bool LoadScript(const char* path, std::vector<Press>* presses, std::string* error)
{
    FILE* file = path ? fopen(path, "rb") : nullptr;
    if (!file) {
        if (error)
            *error = std::string("cannot open ") + (path ? path : "(null)");
        return false;
    }
    std::string text;
    char chunk[4096];
    for (size_t got; (got = fread(chunk, 1, sizeof(chunk), file)) > 0;)
        text.append(chunk, got);
    bool readFailed = ferror(file) != 0;
    fclose(file);
    if (readFailed) {
        if (error)
            *error = std::string("cannot read ") + path;
        return false;
    }
    return ParseScript(text, presses, error);
}

} // namespace simtuner
