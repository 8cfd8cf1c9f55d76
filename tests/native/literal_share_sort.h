#pragma once
// Reference share order for tests and benchmarks: the exchange sort written down step by step,
// quadratic but obviously right. sortSharesByName must give the same list, paths included, for
// every input, down to the order of names that are equal apart from case.

#include "monitor/connection_info.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// As _stricmp: ASCII A-Z folded to lower case, the bytes compared as unsigned values, a text
// that is a prefix of the other first. <0, 0 or >0.
inline int literalStricmp(const std::string& a, const std::string& b) {
    std::size_t k = 0;
    while (k < a.size() && k < b.size()) {
        unsigned char x = static_cast<unsigned char>(a[k]);
        unsigned char y = static_cast<unsigned char>(b[k]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return static_cast<int>(x) - static_cast<int>(y);
        ++k;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

inline void literalSortSharesByName(std::vector<ShareInfo>& shares) {
    // For each position i but the last, and each later position j: swap the entries when the
    // name at i compares greater than the name at j.
    for (std::size_t i = 0; i + 1 < shares.size(); ++i) {
        for (std::size_t j = i + 1; j < shares.size(); ++j) {
            if (literalStricmp(shares[i].Name, shares[j].Name) > 0)
                std::swap(shares[i], shares[j]);
        }
    }
}
