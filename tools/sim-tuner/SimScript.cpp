#include <ctype.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>

#include <sstream>

#include "SimTuner.h"

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

std::string Fault(int line, const std::string& what)
{
    return "line " + std::to_string(line) + ": " + what;
}

} // namespace

bool ParseScript(const std::string& text, std::vector<Press>* presses, std::string* error)
{
    std::vector<Press> parsed;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        size_t comment = line.find('#');
        if (comment != std::string::npos)
            line.erase(comment);
        std::istringstream fields(line);
        std::vector<std::string> tokens;
        for (std::string token; fields >> token;)
            tokens.push_back(token);
        if (tokens.empty())
            continue;
        if (tokens.size() < 3 || tokens.size() > 4) {
            if (error)
                *error = Fault(number, "expected <delay ms> <custom code> <key> [<fourth>], got " +
                                           std::to_string(tokens.size()) + " fields");
            return false;
        }
        unsigned long delay, code, key, fourth;
        const char* fault = nullptr;
        if (!ParseNumber(tokens[0], 10, kLongestDelayMs, &delay))
            fault = "delay is not a decimal count of milliseconds up to a day";
        else if (!ParseNumber(tokens[1], 16, 0xFFFF, &code))
            fault = "custom code is not a hexadecimal value up to FFFF";
        else if (!ParseNumber(tokens[2], 16, 0xFF, &key))
            fault = "key is not a hexadecimal byte";
        else if (tokens.size() == 4 && !ParseNumber(tokens[3], 16, 0xFF, &fourth))
            fault = "fourth byte is not a hexadecimal byte";
        if (fault) {
            if (error)
                *error = Fault(number, fault);
            return false;
        }
        Press press;
        press.delayMs = static_cast<DWORD>(delay);
        press.customCode = static_cast<WORD>(code);
        press.key = static_cast<BYTE>(key);
        press.fourth = static_cast<BYTE>(tokens.size() == 4 ? fourth : (~key & 0xFF));
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
