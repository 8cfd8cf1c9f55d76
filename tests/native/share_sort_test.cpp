// The order of the shares on the Sources page: named cases, then the sort against the literal
// exchange sort on many random lists full of names equal apart from case.

#include "literal_share_sort.h"

#include "base/ascii_case.h"
#include "ui/share_sort.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

std::vector<ShareInfo> toShares(const Entries& entries) {
    std::vector<ShareInfo> shares;
    for (const auto& [name, path] : entries)
        shares.push_back(ShareInfo{name, path});
    return shares;
}

Entries toEntries(const std::vector<ShareInfo>& shares) {
    Entries entries;
    for (const ShareInfo& share : shares)
        entries.emplace_back(share.Name, share.Path);
    return entries;
}

TEST(ShareSort, AscendingByFoldedNameInTheExchangeSortsOrder) {
    struct Case {
        const char* what;
        Entries given, sorted;
    };
    const Case cases[] = {
        {"folded names ascending, paths with them",
         {{"data", "D:\\data"}, {"Admin$", "C:\\"}, {"backup", "E:\\b"}},
         {{"Admin$", "C:\\"}, {"backup", "E:\\b"}, {"data", "D:\\data"}}},
        // '_' (0x5F) sorts before the folded 'a' (0x61), though after 'A' (0x41).
        {"underscore before a folded letter", {{"Ax", "1"}, {"_x", "2"}}, {{"_x", "2"}, {"Ax", "1"}}},
        {"prefix first, bytes above 127 after the letters",
         {{"ab", "1"}, {"a", "2"}, {"\xE9t\xE9", "3"}, {"Z", "4"}},
         {{"a", "2"}, {"ab", "1"}, {"Z", "4"}, {"\xE9t\xE9", "3"}}},
        {"bytes above 127 unfolded", {{"\xE9", "1"}, {"\xC9", "2"}}, {{"\xC9", "2"}, {"\xE9", "1"}}},
        {"case variants, order kept",
         {{"B", "1"}, {"a", "2"}, {"A", "3"}},
         {{"a", "2"}, {"A", "3"}, {"B", "1"}}},
        // Swapping "b" with "a" carries it past "B": not a stable sort.
        {"case variants, order changed",
         {{"b", "1"}, {"B", "2"}, {"a", "3"}},
         {{"a", "3"}, {"B", "2"}, {"b", "1"}}},
        {"equal names, paths reordered",
         {{"x", "1"}, {"x", "2"}, {"a", "3"}},
         {{"a", "3"}, {"x", "2"}, {"x", "1"}}},
        {"one entry", {{"only", "C:\\only"}}, {{"only", "C:\\only"}}},
        {"no entries", {}, {}},
    };
    for (const Case& c : cases) {
        std::vector<ShareInfo> shares = toShares(c.given);
        sortSharesByName(shares);
        EXPECT_EQ(toEntries(shares), c.sorted) << c.what;
    }
}

// Random lists whose names come from a few letters in both cases, '_', '$', digits and bytes
// above 127, so that many are equal apart from case, some exactly equal, others prefixes of each
// other. Every path is distinct, so a misplaced entry shows.
class RandomShares {
public:
    explicit RandomShares(uint32_t seed) : rng_(seed) {}

    std::vector<ShareInfo> next() {
        std::vector<ShareInfo> shares;
        const uint32_t count = below(41);
        for (uint32_t k = 0; k < count; ++k) {
            std::string name;
            const uint32_t how = below(10);
            if (shares.empty() || how < 3)
                name = freshName();
            else if (how < 6)
                name = withCasesFlipped(pickName(shares));
            else if (how < 8)
                name = pickName(shares);
            else
                name = prefixOrExtension(pickName(shares));
            shares.push_back(ShareInfo{name, "P" + std::to_string(k)});
        }
        return shares;
    }

private:
    uint32_t below(uint32_t bound) { return static_cast<uint32_t>(rng_() % bound); }

    std::string freshName() {
        static const char kAlphabet[] = {'a', 'A', 'b', 'B', 'z', 'Z', '_', '$', '0', '9', '\xE9', '\xC9'};
        std::string name;
        const uint32_t length = below(5);
        for (uint32_t k = 0; k < length; ++k)
            name += kAlphabet[below(sizeof kAlphabet)];
        return name;
    }

    const std::string& pickName(const std::vector<ShareInfo>& shares) {
        return shares[below(shares.size())].Name;
    }

    std::string withCasesFlipped(std::string name) {
        for (char& c : name) {
            if (below(2) == 0)
                c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : lowerAscii(c);
        }
        return name;
    }

    std::string prefixOrExtension(const std::string& name) {
        if (!name.empty() && below(2) == 0)
            return name.substr(0, below(static_cast<uint32_t>(name.size())));
        return name + freshName();
    }

    std::mt19937 rng_;
};

// Whether equal names ended in an order other than the one they came in (paths are "P<index>").
bool equalNamesReordered(const std::vector<ShareInfo>& sorted) {
    for (std::size_t a = 0; a < sorted.size(); ++a) {
        for (std::size_t b = a + 1; b < sorted.size(); ++b) {
            if (equalsIgnoringAsciiCase(sorted[a].Name, sorted[b].Name) &&
                std::stoul(sorted[a].Path.substr(1)) > std::stoul(sorted[b].Path.substr(1)))
                return true;
        }
    }
    return false;
}

TEST(ShareSort, SourcesNoShareNamesExactlyFollowInStoredOrderOnce) {
    struct Case {
        const char* what;
        Entries sources, shares, missing;
    };
    const Case cases[] = {
        {"every source shared", {{"a", "1"}, {"b", "2"}}, {{"b", "x"}, {"a", "y"}}, {}},
        {"stored order, stored paths, whatever the shares' order",
         {{"z", "1"}, {"s", "2"}, {"a", "3"}},
         {{"s", "x"}},
         {{"z", "1"}, {"a", "3"}}},
        {"a case variant is not shared", {{"Data", "1"}}, {{"data", "x"}}, {{"Data", "1"}}},
        {"a name once, with its first path",
         {{"g", "1"}, {"g", "2"}, {"s", "3"}},
         {{"s", "x"}},
         {{"g", "1"}}},
        {"no shares", {{"", "1"}, {"b", "2"}}, {}, {{"", "1"}, {"b", "2"}}},
    };
    for (const Case& c : cases) {
        std::vector<SourceEntry> sources;
        for (const auto& [name, path] : c.sources)
            sources.push_back(SourceEntry{name, path});
        std::vector<SourceEntry> missing;
        for (const auto& [name, path] : c.missing)
            missing.push_back(SourceEntry{name, path});
        EXPECT_EQ(sourcesNotShared(sources, toShares(c.shares)), missing) << c.what;
    }
}

TEST(ShareSort, MatchesTheLiteralExchangeSortOnRandomLists) {
    RandomShares random(20240611);
    long with_equal_names = 0;
    long reordered = 0;
    for (int list = 0; list < 4000; ++list) {
        const std::vector<ShareInfo> given = random.next();
        std::vector<ShareInfo> expected = given;
        literalSortSharesByName(expected);
        std::vector<ShareInfo> actual = given;
        sortSharesByName(actual);
        ASSERT_EQ(toEntries(actual), toEntries(expected)) << "list " << list;
        for (std::size_t k = 1; k < expected.size(); ++k) {
            if (equalsIgnoringAsciiCase(expected[k - 1].Name, expected[k].Name)) {
                ++with_equal_names;
                break;
            }
        }
        if (equalNamesReordered(expected))
            ++reordered;
    }
    // The lists must exercise the replay, not only the distinct-name order.
    EXPECT_GT(with_equal_names, 2000);
    EXPECT_GT(reordered, 1000);
}

} // namespace
