#include "config/ini_section.h"
#include "base/ascii_case.h"

#include <algorithm>
#include <cstring>

namespace {

// GetPrivateProfileIntA reads the value through a buffer of 30 characters.
constexpr size_t kNumberBufferSize = 30;

int digitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    return -1;
}

} // namespace

bool isProfileBlank(char c) {
    // 0x1A (DOS end of file) counts as a blank too; the no-break space does not.
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

std::string trimProfileBlanks(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isProfileBlank(text[begin]))
        ++begin;
    while (end > begin && isProfileBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string profileText(const std::string& raw, size_t buffer_size) {
    if (buffer_size == 0)
        return std::string();
    const size_t limit = buffer_size - 1;
    if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') && raw.back() == raw.front())
        return raw.substr(1, std::min(raw.size() - 2, limit));
    return raw.substr(0, std::min(raw.size(), limit));
}

uint32_t profileNumber(const std::string& raw, int32_t fallback) {
    const std::string text = profileText(raw, kNumberBufferSize);
    if (text.empty())
        return static_cast<uint32_t>(fallback);
    size_t at = 0;
    while (at < text.size() && static_cast<unsigned char>(text[at]) <= ' ')
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    uint32_t base = 10;
    if (text.size() - at >= 2 && text[at] == '0') {
        const char marker = text[at + 1];
        base = marker == 'x' ? 16 : marker == 'o' ? 8 : marker == 'b' ? 2 : 10;
        if (base != 10)
            at += 2;
    }
    uint32_t total = 0;
    for (; at < text.size(); ++at) {
        const int digit = digitValue(text[at]);
        if (digit < 0 || static_cast<uint32_t>(digit) >= base)
            break;
        total = total * base + static_cast<uint32_t>(digit); // wraps as the platform's does
    }
    return negative ? 0u - total : total;
}

IniEntry parseIniEntry(const std::string& line) {
    IniEntry entry;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
        entry.key = trimProfileBlanks(line);
        return entry;
    }
    entry.key = trimProfileBlanks(line.substr(0, equals));
    entry.has_value = true;
    entry.value = trimProfileBlanks(line.substr(equals + 1));
    return entry;
}

IniSection::IniSection(std::vector<IniEntry> entries) : entries_(std::move(entries)) {
    first_by_key_.reserve(entries_.size());
    for (size_t i = 0; i < entries_.size(); ++i)
        first_by_key_.emplace(lowerAscii(entries_[i].key), i); // keeps the first of equal keys
}

IniSection IniSection::fromSectionList(const char* buffer, size_t length) {
    std::vector<IniEntry> entries;
    size_t at = 0;
    while (at < length && buffer[at] != '\0') {
        const void* end = std::memchr(buffer + at, '\0', length - at);
        const size_t line_length =
            end ? static_cast<size_t>(static_cast<const char*>(end) - (buffer + at)) : length - at;
        entries.push_back(parseIniEntry(std::string(buffer + at, line_length)));
        at += line_length + 1;
    }
    return IniSection(std::move(entries));
}

const std::string* IniSection::find(const std::string& key) const {
    const auto found = first_by_key_.find(lowerAscii(trimProfileBlanks(key)));
    if (found == first_by_key_.end())
        return nullptr;
    const IniEntry& entry = entries_[found->second];
    return entry.has_value ? &entry.value : nullptr;
}

std::string IniSection::text(const char* key, const char* fallback, size_t buffer_size) const {
    const std::string* value = find(key ? key : "");
    if (value == nullptr) {
        const std::string fallback_text = fallback ? fallback : "";
        return fallback_text.substr(0, buffer_size == 0 ? 0 : buffer_size - 1);
    }
    return profileText(*value, buffer_size);
}

uint32_t IniSection::number(const char* key, int32_t fallback) const {
    const std::string* value = find(key ? key : "");
    return value ? profileNumber(*value, fallback) : static_cast<uint32_t>(fallback);
}
