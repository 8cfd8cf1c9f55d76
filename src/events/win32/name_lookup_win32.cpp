#include "events/message_template.h"

#include <winsock2.h>

bool platformReverseLookup(const std::string& address, std::string& host_name, int& error_code) {
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
