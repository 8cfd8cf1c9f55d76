#pragma once
// The reading rules of the platform's profile reader, kept in one place so the
// DLL (which gets each section whole from GetPrivateProfileSectionA) and the
// native reader (which splits the file itself) look keys up the same way.

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// Blanks the profile reader trims around section names, keys and values.
bool isProfileBlank(char c);
std::string trimProfileBlanks(const std::string& text);

// A value as the profile reader hands it out through a buffer of `buffer_size`
// bytes: a value enclosed in a pair of equal quotes (" or ') loses them, then the
// text is cut to buffer_size - 1 characters.
std::string profileText(const std::string& raw, size_t buffer_size);

// The number conversion behind GetPrivateProfileIntA: the value through a
// 30-character buffer; empty gives `fallback`; otherwise control characters and
// blanks are skipped, one sign is taken, a lower-case 0x, 0o or 0b prefix picks the
// base (10 otherwise), and digits are read up to the first that does not belong,
// wrapping modulo 2^32 ("abc" gives 0, "12abc" 12, "4294967296" 0, "0x10" 16).
uint32_t profileNumber(const std::string& raw, int32_t fallback);

// One line of a section: "key=value" split at the first "=", or a key alone.
struct IniEntry {
    std::string key;
    bool has_value = false;
    std::string value;
};

IniEntry parseIniEntry(const std::string& line);

// The entries of one section with their lookup: keys match without regard to
// ASCII letter case and the first entry of a key wins, also when it has no value.
class IniSection {
public:
    IniSection() = default;
    explicit IniSection(std::vector<IniEntry> entries);

    // Entries as GetPrivateProfileSectionA lists them: NUL-terminated lines
    // ending in an empty one, within the first `length` bytes of `buffer`.
    static IniSection fromSectionList(const char* buffer, size_t length);

    // Null when the key is missing or stands without a value.
    const std::string* find(const std::string& key) const;
    std::string text(const char* key, const char* fallback, size_t buffer_size) const;
    uint32_t number(const char* key, int32_t fallback) const;
    size_t size() const { return entries_.size(); }

private:
    std::vector<IniEntry> entries_;
    std::unordered_map<std::string, size_t> first_by_key_;
};
