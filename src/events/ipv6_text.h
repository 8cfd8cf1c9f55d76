#pragma once
// The computer's address as WMI gives it is IPv4 text or, for a client that
// came over IPv6, IPv6 text. This tells the two apart for the reverse lookup.

#include <array>
#include <cstdint>
#include <string>

struct Ipv6Address {
    std::array<uint8_t, 16> bytes{}; // network order
    uint32_t scope = 0;              // the zone's number; 0 without one, or for a zone given by name
};

// True when `text` is a numeric IPv6 address, bare or in brackets, with or
// without a "%" zone ("fe80::1%12", "[::1]"); `address` then holds it. Any
// other text (IPv4, a name, nothing) gives false and leaves `address` alone.
bool parseIpv6Text(const std::string& text, Ipv6Address& address);
