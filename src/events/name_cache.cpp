#include "events/name_cache.h"

#include <iterator>

bool NameCache::find(const std::string& address, uint64_t now, NameAnswer& answer) {
    const auto entry = entries_.find(address);
    if (entry == entries_.end())
        return false;
    if (now >= entry->second.expires) {
        forget(entry);
        return false;
    }
    answer = entry->second.answer;
    return true;
}

void NameCache::store(const std::string& address, const NameAnswer& answer, uint64_t now) {
    if (capacity_ == 0)
        return;
    const auto old = entries_.find(address);
    if (old != entries_.end())
        forget(old);
    while (entries_.size() >= capacity_)
        forget(entries_.find(oldest_first_.front()));
    oldest_first_.push_back(address);
    Entry* entry = nullptr;
    try {
        entry = &entries_[address];
    } catch (...) {
        oldest_first_.pop_back(); // every remembered age keeps its entry
        throw;
    }
    entry->answer = answer;
    entry->expires = now + (answer.found ? kNameKeptMilliseconds : kNoNameKeptMilliseconds);
    entry->age = std::prev(oldest_first_.end());
}

void NameCache::clear() {
    entries_.clear();
    oldest_first_.clear();
}

void NameCache::forget(std::unordered_map<std::string, Entry>::iterator entry) {
    oldest_first_.erase(entry->second.age);
    entries_.erase(entry);
}
