#include "AddressFilter.h"

#include "Words.h"

namespace {

// 127.0.0.1: the programs of this PC. The rest of 127.0.0.0/8 is left to
// AllowFrom=, so that a test can stand for another computer.
const uint32_t kThisPc = 0x7F000001;

uint32_t Mask(unsigned bits)
{
    return bits == 0 ? 0 : 0xFFFFFFFFu << (32 - bits);
}

} // namespace

bool ParseIpv4(const std::string& text, uint32_t* address)
{
    uint32_t value = 0;
    size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (at >= text.size() || text[at] != '.')
                return false;
            ++at;
        }
        size_t start = at;
        unsigned number = 0;
        // At most three digits: "0300" is not an octet, and no octal either.
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - start < 3)
            number = number * 10 + static_cast<unsigned>(text[at++] - '0');
        if (at == start || number > 255)
            return false;
        value = (value << 8) | number;
    }
    if (at != text.size())
        return false;
    *address = value;
    return true;
}

std::string FormatIpv4(uint32_t address)
{
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

bool IsLoopback(uint32_t address)
{
    return (address >> 24) == 127;
}

bool AddressFilter::Parse(const std::string& list, std::string* error)
{
    ranges_.clear();
    std::vector<Range> ranges;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find_first_of(", ", start);
        std::string entry = TrimSpace(list.substr(start, comma == std::string::npos
                                                             ? std::string::npos
                                                             : comma - start));
        start = comma == std::string::npos ? list.size() + 1 : comma + 1;
        if (entry.empty())
            continue;
        size_t slash = entry.find('/');
        Range range = {0, 32};
        unsigned bits = 32;
        if (!ParseIpv4(entry.substr(0, slash), &range.network) ||
            (slash != std::string::npos &&
             (!ParseNumber(entry.substr(slash + 1), 32, &bits) ||
              entry.find_first_not_of("0123456789", slash + 1) != std::string::npos))) {
            *error = entry;
            return false;
        }
        range.bits = bits;
        range.network &= Mask(bits);
        ranges.push_back(range);
    }
    ranges_ = ranges;
    return true;
}

bool AddressFilter::Allows(uint32_t address) const
{
    if (address == kThisPc)
        return true;
    for (const Range& range : ranges_) {
        if ((address & Mask(range.bits)) == range.network)
            return true;
    }
    return false;
}

std::string AddressFilter::Describe() const
{
    std::string text;
    for (const Range& range : ranges_) {
        text += (text.empty() ? "" : ", ") + FormatIpv4(range.network);
        if (range.bits != 32)
            text += "/" + std::to_string(range.bits);
    }
    return text;
}
