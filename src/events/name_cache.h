#pragma once
// The answers of the reverse name service, kept for a while: a name for at most
// ten minutes, "no name" for at most one. A bounded number of addresses; when a
// new one comes and the cache is full, the one answered longest ago goes.

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>

constexpr uint64_t kNameKeptMilliseconds = 10 * 60 * 1000;
constexpr uint64_t kNoNameKeptMilliseconds = 60 * 1000;
// Far above the clients of one server, and a few hundred KB at most.
constexpr size_t kNameCacheCapacity = 4096;

// One answer: a host name, or none with the platform's error code.
struct NameAnswer {
    bool found = false;
    std::string host_name;
    int error_code = 0;
};

// Times are milliseconds of a clock that only goes forward. Not thread-safe.
class NameCache {
public:
    explicit NameCache(size_t capacity = kNameCacheCapacity) : capacity_(capacity) {}

    // True when the address has an answer that has not yet expired at `now`;
    // an expired answer is forgotten.
    bool find(const std::string& address, uint64_t now, NameAnswer& answer);
    // Keeps the answer from `now` on, replacing one the address had.
    void store(const std::string& address, const NameAnswer& answer, uint64_t now);
    void clear();
    size_t size() const { return entries_.size(); }

private:
    struct Entry {
        NameAnswer answer;
        uint64_t expires = 0;
        std::list<std::string>::iterator age; // its place in `oldest_first_`
    };
    void forget(std::unordered_map<std::string, Entry>::iterator entry);

    size_t capacity_;
    std::unordered_map<std::string, Entry> entries_;
    std::list<std::string> oldest_first_;
};
