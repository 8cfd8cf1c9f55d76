#include "config/win32/profile_reader.h"

#include <windows.h>

#include <vector>

namespace {

constexpr DWORD kFirstSectionBufferSize = 64 * 1024;
// A section beyond this is read cut short; the profile reader holds the whole
// file in memory as well, so only a damaged file comes near it.
constexpr DWORD kLargestSectionBufferSize = 64 * 1024 * 1024;

} // namespace

uint32_t ProfileIniReader::readNumber(const char* section, const char* key, int32_t fallback) {
    return GetPrivateProfileIntA(section, key, fallback, path_.c_str());
}

std::string ProfileIniReader::readText(const char* section, const char* key, const char* fallback,
                                       size_t buffer_size) {
    return loadSection(section).text(key, fallback, buffer_size);
}

const IniSection& ProfileIniReader::loadSection(const char* section) {
    const auto cached = sections_.find(section);
    if (cached != sections_.end())
        return cached->second;
    std::vector<char> buffer;
    DWORD size = kFirstSectionBufferSize;
    DWORD length = 0;
    for (;;) {
        buffer.assign(size, '\0');
        length = GetPrivateProfileSectionA(section, buffer.data(), size, path_.c_str());
        // A full buffer is reported as its size less two.
        if (length + 2 < size || size >= kLargestSectionBufferSize)
            break;
        size *= 2;
    }
    return sections_.emplace(section, IniSection::fromSectionList(buffer.data(), length)).first->second;
}
