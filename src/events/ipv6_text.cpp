#include "events/ipv6_text.h"

#include <cstddef>

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A decimal number of 1 to `max_digits` digits, at most `max`.
bool parseDecimal(const std::string& text, size_t max_digits, uint32_t max, uint32_t& value) {
    if (text.empty() || text.size() > max_digits)
        return false;
    uint64_t number = 0;
    for (char c : text) {
        if (!isDigit(c))
            return false;
        number = number * 10 + static_cast<uint64_t>(c - '0');
    }
    if (number > max)
        return false;
    value = static_cast<uint32_t>(number);
    return true;
}

// The dotted IPv4 tail of an address such as "::ffff:10.1.2.3", as two groups.
bool parseDottedTail(const std::string& text, uint16_t& high, uint16_t& low) {
    uint32_t address = 0;
    size_t start = 0;
    for (int part = 0; part < 4; ++part) {
        const size_t end = part < 3 ? text.find('.', start) : text.size();
        uint32_t value = 0;
        if (end == std::string::npos || !parseDecimal(text.substr(start, end - start), 3, 255, value))
            return false;
        address = address << 8 | value;
        start = end + 1;
    }
    high = static_cast<uint16_t>(address >> 16);
    low = static_cast<uint16_t>(address & 0xFFFF);
    return true;
}

// The groups of the address without brackets and zone; false unless it is whole.
bool parseGroups(const std::string& text, std::array<uint16_t, 8>& groups) {
    uint16_t read[8] = {};
    int count = 0;
    int gap = -1; // where "::" stands, in groups read before it
    size_t position = 0;
    if (text.compare(0, 2, "::") == 0) {
        gap = 0;
        position = 2;
    }
    while (position < text.size()) {
        const size_t colon = text.find(':', position);
        const size_t end = colon == std::string::npos ? text.size() : colon;
        const std::string group = text.substr(position, end - position);
        if (group.find('.') != std::string::npos) {
            if (end != text.size() || count > 6 || !parseDottedTail(group, read[count], read[count + 1]))
                return false;
            count += 2;
            break;
        }
        if (group.empty() || group.size() > 4 || count == 8)
            return false;
        uint32_t value = 0;
        for (char c : group) {
            const int digit = hexDigit(c);
            if (digit < 0)
                return false;
            value = value << 4 | static_cast<uint32_t>(digit);
        }
        read[count++] = static_cast<uint16_t>(value);
        if (end == text.size())
            break;
        if (text.compare(end, 2, "::") == 0) {
            if (gap >= 0)
                return false;
            gap = count;
            position = end + 2;
        } else if (end + 1 == text.size()) {
            return false; // a lone colon at the end
        } else {
            position = end + 1;
        }
    }
    if (gap < 0 ? count != 8 : count > 7)
        return false;
    groups.fill(0);
    // The groups after "::" go to the end; the ones before it stay in front.
    const size_t used = static_cast<size_t>(count);
    const size_t after = gap < 0 ? 0 : used - static_cast<size_t>(gap);
    for (size_t index = 0; index < used - after; ++index)
        groups[index] = read[index];
    for (size_t index = 0; index < after; ++index)
        groups[groups.size() - after + index] = read[used - after + index];
    return true;
}

} // namespace

bool parseIpv6Text(const std::string& text, Ipv6Address& address) {
    std::string body = text;
    if (!body.empty() && body.front() == '[') {
        if (body.size() < 2 || body.back() != ']')
            return false;
        body = body.substr(1, body.size() - 2);
    }
    uint32_t scope = 0;
    const size_t percent = body.find('%');
    if (percent != std::string::npos) {
        const std::string zone = body.substr(percent + 1);
        if (zone.empty() || zone.find_first_of("%[] \t") != std::string::npos)
            return false;
        // Windows numbers its zones; a zone given by name leaves the scope open.
        if (!parseDecimal(zone, 10, 0xFFFFFFFFu, scope))
            scope = 0;
        body.erase(percent);
    }
    std::array<uint16_t, 8> groups{};
    if (!parseGroups(body, groups))
        return false;
    for (size_t index = 0; index < groups.size(); ++index) {
        address.bytes[index * 2] = static_cast<uint8_t>(groups[index] >> 8);
        address.bytes[index * 2 + 1] = static_cast<uint8_t>(groups[index] & 0xFF);
    }
    address.scope = scope;
    return true;
}
