// Who may connect to the LIRC server: AllowFrom='s list, the addresses it
// lets in, and the [Network] lines that decide whether the server listens
// on the network at all.

#include <stddef.h>
#include <stdint.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "AddressFilter.h"
#include "FuzzCheck.h"
#include "NetworkSettings.h"

namespace {

struct Range {
    uint32_t network;
    uint32_t mask;
};

// Describe()'s normal form read back here, apart from the code under test:
// "a.b.c.d[/n]" entries joined by ", ".
std::vector<Range> ReadDescription(const std::string& text)
{
    std::vector<Range> ranges;
    size_t at = 0;
    while (at < text.size()) {
        unsigned part[5] = {0, 0, 0, 0, 32};
        int got = 0;
        for (int i = 0; i < 5 && at < text.size(); ++i) {
            size_t digits = text.find_first_not_of("0123456789", at);
            Require(digits != at, "a description's number", text);
            part[i] = static_cast<unsigned>(std::stoul(text.substr(at, digits - at)));
            ++got;
            at = digits;
            if (at >= text.size() || text[at] == ',')
                break;
            Require(text[at] == (i < 3 ? '.' : '/'), "a description's separator", text);
            ++at;
        }
        Require(got == 4 || got == 5, "a description's entry", text);
        Require(part[0] < 256 && part[1] < 256 && part[2] < 256 && part[3] < 256 && part[4] <= 32,
                "a description's values", text);
        uint32_t mask = part[4] == 0 ? 0 : 0xFFFFFFFFu << (32 - part[4]);
        uint32_t network = part[0] << 24 | part[1] << 16 | part[2] << 8 | part[3];
        Require((network & mask) == network, "a description's network has no host bits", text);
        ranges.push_back({network, mask});
        if (at < text.size()) {
            Require(text.compare(at, 2, ", ") == 0, "a description's entries", text);
            at += 2;
        }
    }
    return ranges;
}

bool Allowed(const std::vector<Range>& ranges, uint32_t address)
{
    if (address == 0x7F000001)
        return true;
    for (const Range& range : ranges) {
        if ((address & range.mask) == range.network)
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    uint32_t probe = input.ConsumeIntegral<uint32_t>();
    std::string text = input.ConsumeRemainingBytesAsString();

    uint32_t address = 0;
    Require(ParseIpv4(FormatIpv4(probe), &address) && address == probe,
            "an address reads back as itself");
    if (ParseIpv4(text, &address))
        Require(FormatIpv4(address) == text || text.find("00") != std::string::npos ||
                    text[0] == '0' || text.find(".0") != std::string::npos,
                "an address is its own text, but for leading zeros", text);

    AddressFilter filter;
    std::string error;
    bool ok = filter.Parse(text, &error);
    Require(ok || (filter.empty() && !error.empty() && text.find(error) != std::string::npos),
            "a refused list is empty and names its entry", text);
    Require(filter.Allows(0x7F000001), "this PC is always allowed");
    std::string described = filter.Describe();
    std::vector<Range> ranges = ReadDescription(described);
    AddressFilter again;
    Require(again.Parse(described, &error) && again.Describe() == described,
            "the description is a list that reads as itself", described);
    // The edges of each range, just past them, and the probe.
    std::vector<uint32_t> probes = {probe, 0, 0xFFFFFFFFu, 0x7F000001, 0x7F000002};
    for (const Range& range : ranges) {
        uint32_t last = range.network | ~range.mask;
        probes.insert(probes.end(), {range.network, last, range.network - 1, last + 1,
                                     range.network ^ (probe & ~range.mask)});
    }
    for (uint32_t p : probes) {
        Require(filter.Allows(p) == Allowed(ranges, p), "allowed as the description says",
                FormatIpv4(p) + " in " + described);
        Require(again.Allows(p) == filter.Allows(p), "the description allows the same");
    }

    // The [Network] lines from the same text, a line each: the server never
    // listens on the network without AllowFrom=.
    NetworkValues values;
    std::string* fields[] = {&values.listen, &values.allowFrom, &values.remoteName,
                             &values.allowSimulate};
    size_t start = 0;
    for (std::string* field : fields) {
        size_t end = text.find('\n', start);
        *field = text.substr(start, end == std::string::npos ? end : end - start);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    NetworkSettings settings = ParseNetworkSettings(values);
    if (settings.listen) {
        Require(settings.port >= 1 && settings.port <= 65535, "a port to listen on");
        Require(IsLoopback(settings.address) || !settings.allowFrom.empty(),
                "on the network only with AllowFrom=", values.listen);
    }
    Require(!settings.remoteName.empty() &&
                settings.remoteName.find_first_of(" \t\r\n") == std::string::npos,
            "the remote's name is one word", settings.remoteName);
    NetworkReport(settings);
    return 0;
}
