#include "ui/share_sort.h"
#include "base/ascii_case.h"

#include <utility>

namespace {

// <0, 0 or >0 as the folded texts compare, byte by byte as unsigned values.
int compareFolded(const std::string& a, const std::string& b) {
    const size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(lowerAscii(a[i]));
        const auto y = static_cast<unsigned char>(lowerAscii(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace

void sortSharesByName(std::vector<ShareInfo>& shares) {
    // Each later entry that sorts before position i is swapped into it in turn.
    for (size_t i = 0; i + 1 < shares.size(); ++i) {
        for (size_t j = i + 1; j < shares.size(); ++j) {
            if (compareFolded(shares[i].Name, shares[j].Name) > 0)
                std::swap(shares[i], shares[j]);
        }
    }
}
