#include "events/ipv6_text.h"
#include "events/host_names.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

namespace {

// A client that came over IPv6: its address cannot go through inet_addr.
bool reverseLookupIpv6(const Ipv6Address& address, std::string& host_name, int& error_code) {
    sockaddr_in6 socket_address{};
    socket_address.sin6_family = AF_INET6;
    std::memcpy(&socket_address.sin6_addr, address.bytes.data(), address.bytes.size());
    socket_address.sin6_scope_id = address.scope;
    char name[NI_MAXHOST];
    const int error = getnameinfo(reinterpret_cast<const sockaddr*>(&socket_address), sizeof socket_address,
                                  name, sizeof name, nullptr, 0, NI_NAMEREQD);
    if (error != 0) {
        error_code = error;
        return false;
    }
    host_name = name;
    return true;
}

} // namespace

bool platformReverseLookup(const std::string& address, std::string& host_name, int& error_code) {
    Ipv6Address ipv6;
    if (parseIpv6Text(address, ipv6))
        return reverseLookupIpv6(ipv6, host_name, error_code);
    // Not a dotted address gives INADDR_NONE, and the query below then fails.
    const unsigned long ip = inet_addr(address.c_str());
    const hostent* host = gethostbyaddr(reinterpret_cast<const char*>(&ip), 4, AF_INET);
    if (host == nullptr || host->h_name == nullptr) {
        error_code = WSAGetLastError();
        return false;
    }
    // The entry lives in a per-thread buffer that the next query reuses.
    host_name = host->h_name;
    return true;
}
