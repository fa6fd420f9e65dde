#include "Words.h"

#include <string.h>

namespace {

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string TrimSpace(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return std::string();
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

bool SameWord(const std::string& a, const char* b)
{
    size_t length = strlen(b);
    return a.size() == length && StartsWithWord(a, b);
}

bool StartsWithWord(const std::string& text, const char* prefix)
{
    size_t length = strlen(prefix);
    if (text.size() < length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        if (Lower(text[i]) != Lower(prefix[i]))
            return false;
    }
    return true;
}

bool ParseNumber(const std::string& text, unsigned max, unsigned* value)
{
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    size_t start = hex ? 2 : 0;
    if (text.size() <= start)
        return false;
    unsigned long result = 0;
    for (size_t i = start; i < text.size(); ++i) {
        char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        result = result * (hex ? 16 : 10) + digit;
        if (result > max)
            return false;
    }
    *value = static_cast<unsigned>(result);
    return true;
}

bool HasControlCharacter(const std::string& text)
{
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    }
    return false;
}
