#include "ui/share_sort.h"
#include "base/ascii_case.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// The exchange sort itself, on the names' ranks: integer compares and swaps in
// place of string work. Only it defines where equal names end, since it is not stable.
void exchangeSortByRank(std::vector<uint32_t>& rank, std::vector<uint32_t>& order) {
    const size_t count = order.size();
    for (size_t i = 0; i + 1 < count; ++i) {
        for (size_t j = i + 1; j < count; ++j) {
            if (rank[i] > rank[j]) {
                std::swap(rank[i], rank[j]);
                std::swap(order[i], order[j]);
            }
        }
    }
}

} // namespace

void sortSharesByName(std::vector<ShareInfo>& shares) {
    const size_t count = shares.size();
    if (count < 2)
        return;
    std::vector<std::string> folded;
    folded.reserve(count);
    for (const ShareInfo& share : shares)
        folded.push_back(lowerAscii(share.Name));

    // std::string compares its bytes as unsigned char, a prefix first: the order wanted.
    std::vector<uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0U);
    std::sort(order.begin(), order.end(),
              [&folded](uint32_t a, uint32_t b) { return folded[a] < folded[b]; });

    // With every folded name distinct the sorted order is the only one, and so the
    // exchange sort's. Share names are unique ignoring case on Windows, so this is the rule.
    std::vector<uint32_t> rank(count, 0);
    bool distinct = true;
    for (size_t k = 1; k < count; ++k) {
        const bool same = folded[order[k]] == folded[order[k - 1]];
        distinct = distinct && !same;
        rank[order[k]] = rank[order[k - 1]] + (same ? 0 : 1);
    }
    if (!distinct) {
        std::iota(order.begin(), order.end(), 0U);
        exchangeSortByRank(rank, order);
    }

    std::vector<ShareInfo> sorted;
    sorted.reserve(count);
    for (const uint32_t from : order)
        sorted.push_back(std::move(shares[from]));
    shares.swap(sorted);
}

std::vector<SourceEntry> sourcesNotShared(const std::vector<SourceEntry>& sources,
                                          const std::vector<ShareInfo>& shares) {
    std::set<std::string> listed;
    for (const ShareInfo& share : shares)
        listed.insert(share.Name);
    std::vector<SourceEntry> missing;
    for (const SourceEntry& source : sources) {
        if (listed.insert(source.SourceName).second)
            missing.push_back(source);
    }
    return missing;
}
