#pragma once
// What the settings load needs from an INI reader. The DLL reads with the
// platform's profile functions; the native build reads the text itself. Both keep
// the same properties, and one table of cases holds them to one behaviour.

#include <cstddef>
#include <cstdint>
#include <string>

class IniReader {
public:
    virtual ~IniReader() = default;
    // The value as GetPrivateProfileIntA returns it: `fallback` when the key is
    // missing or empty, otherwise the leading number of the text (see profileNumber).
    virtual uint32_t readNumber(const char* section, const char* key, int32_t fallback) = 0;
    // The value as it comes through a buffer of `buffer_size` bytes: one pair of
    // enclosing quotes removed, cut to buffer_size - 1 characters; `fallback` (cut
    // the same way) when the key is missing.
    virtual std::string readText(const char* section, const char* key, const char* fallback,
                                 size_t buffer_size) = 0;
};
