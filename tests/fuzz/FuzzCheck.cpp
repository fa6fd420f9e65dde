#include "FuzzCheck.h"

#include <stdio.h>
#include <stdlib.h>

void Require(bool ok, const char* what, const std::string& detail)
{
    if (ok)
        return;
    fprintf(stderr, "PROPERTY FAILED: %s\n", what);
    if (!detail.empty()) {
        fprintf(stderr, "  ");
        for (unsigned char c : detail)
            fprintf(stderr, c >= ' ' && c < 0x7F ? "%c" : "\\x%02x", c);
        fprintf(stderr, "\n");
    }
    abort();
}

bool IsUtf8(const std::string& text)
{
    size_t i = 0;
    auto at = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    while (i < text.size()) {
        unsigned char c = at(i);
        size_t n;
        unsigned long value;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            n = 2;
            value = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            n = 3;
            value = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            n = 4;
            value = c & 0x07;
        } else {
            return false;
        }
        if (i + n > text.size())
            return false;
        for (size_t k = 1; k < n; ++k) {
            if ((at(i + k) & 0xC0) != 0x80)
                return false;
            value = value << 6 | (at(i + k) & 0x3F);
        }
        static const unsigned long least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (value < least[n] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        i += n;
    }
    return true;
}
