#pragma once

#include <stdint.h>

#include <string>
#include <vector>

// Who may connect to the LIRC server: the addresses and networks of
// AllowFrom= ("192.168.1.20, 192.168.1.0/24"), and this PC itself through
// 127.0.0.1, always. IPv4 only, as Listen= is. Addresses are in host byte
// order.
class AddressFilter {
public:
    // Replaces the list; false with *error (the entry at fault) when an
    // entry is not an address or a network, and the list is then empty.
    bool Parse(const std::string& list, std::string* error);
    bool Allows(uint32_t address) const;
    bool empty() const { return ranges_.empty(); }
    // The list as parsed, networks normalised: "192.168.1.0/24, 10.0.0.5".
    std::string Describe() const;

private:
    struct Range {
        uint32_t network;
        unsigned bits;
    };
    std::vector<Range> ranges_;
};

// "192.168.1.20": four decimal numbers up to 255, nothing else.
bool ParseIpv4(const std::string& text, uint32_t* address);
std::string FormatIpv4(uint32_t address);
bool IsLoopback(uint32_t address); // 127.0.0.0/8
