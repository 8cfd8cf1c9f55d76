#include "ui/share_sort.h"
#include "base/ascii_case.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

// The exchange sort is quadratic, so its order of equal names is derived instead. Its swaps
// depend only on how names compare, so the entries of one folded name move as the 1s do in a
// list of 0 (smaller name), 1 (this name) and 2 (greater). There, pass t brings the first 0 at or
// after t to t: the 0s go in their starting order, the t-th from position z_t. Along the way the
// first 1 at or after t, if before z_t, moves to z_t. Once the 0s are placed the 1s follow in
// their order of position. So the entries of one name see a step per smaller name, in which the
// lowest-placed entry, if below z_t, moves to z_t. The z grow, so moved entries queue in step
// order, and once one has moved every step moves one: between two entries leaving their starting
// places the steps only rotate the queue.

namespace {

// Marked positions in a Fenwick tree: how many lie at or before a position, and where the n-th is.
class PositionMarks {
public:
    explicit PositionMarks(size_t size) : tree_(size + 1, 0) {}

    void mark(size_t position) {
        for (size_t k = position + 1; k < tree_.size(); k += lowestBit(k))
            ++tree_[k];
    }

    size_t countThrough(size_t position) const {
        size_t count = 0;
        for (size_t k = position + 1; k > 0; k -= lowestBit(k))
            count += tree_[k];
        return count;
    }

    // The position of the mark with `before` marks ahead of it.
    size_t nth(size_t before) const {
        size_t k = 0;
        size_t step = 1;
        while (step * 2 < tree_.size())
            step *= 2;
        for (; step > 0; step /= 2) {
            if (k + step < tree_.size() && tree_[k + step] <= before) {
                k += step;
                before -= tree_[k];
            }
        }
        return k;
    }

private:
    static size_t lowestBit(size_t k) { return k & (~k + 1); }

    std::vector<uint32_t> tree_;
};

// Reorders `members` (the starting positions, ascending, of the entries with one folded name)
// into the order the exchange sort leaves them in. `smaller` marks the positions of the
// `smaller_count` entries with smaller names.
void orderEqualNames(uint32_t* members, size_t count, const PositionMarks& smaller, size_t smaller_count) {
    std::vector<uint32_t> queue; // moved entries, the oldest at `head`
    size_t head = 0;
    size_t step = 0;
    size_t unmoved = 0;
    while (unmoved < count) {
        // The next unmoved entry leaves at the first step whose z lies beyond both it and the
        // queue's oldest entry (which sits at z of the step queue.size() earlier).
        const size_t beyond = smaller.countThrough(members[unmoved]);
        const size_t leaves = std::max(step, beyond + queue.size());
        if (leaves >= smaller_count)
            break;
        if (queue.empty()) {
            queue.push_back(members[unmoved]);
        } else {
            // Rotated by the steps in between, then joined at the back.
            head = (head + (leaves - step)) % queue.size();
            queue.insert(queue.begin() + static_cast<std::ptrdiff_t>(head), members[unmoved]);
            head = (head + 1) % queue.size();
        }
        ++unmoved;
        step = leaves + 1;
    }
    if (queue.empty())
        return;
    head = (head + (smaller_count - step)) % queue.size();

    // The queue holds the last queue.size() steps' z, oldest first; merge it with the unmoved.
    std::vector<uint32_t> merged;
    merged.reserve(count);
    size_t next = unmoved;
    const size_t first_step = smaller_count - queue.size();
    for (size_t k = 0; k < queue.size(); ++k) {
        const size_t at = smaller.nth(first_step + k);
        while (next < count && members[next] < at)
            merged.push_back(members[next++]);
        merged.push_back(queue[(head + k) % queue.size()]);
    }
    while (next < count)
        merged.push_back(members[next++]);
    std::copy(merged.begin(), merged.end(), members);
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

    // std::string compares its bytes as unsigned char, a prefix first: the order wanted. Stable,
    // so that equal names start in their order of position.
    std::vector<uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0U);
    std::stable_sort(order.begin(), order.end(),
                     [&folded](uint32_t a, uint32_t b) { return folded[a] < folded[b]; });

    PositionMarks smaller(count);
    for (size_t begin = 0; begin < count;) {
        size_t end = begin + 1;
        while (end < count && folded[order[end]] == folded[order[begin]])
            ++end;
        if (end - begin > 1)
            orderEqualNames(&order[begin], end - begin, smaller, begin);
        for (size_t k = begin; k < end; ++k)
            smaller.mark(order[k]);
        begin = end;
    }

    std::vector<ShareInfo> sorted;
    sorted.reserve(count);
    for (const uint32_t from : order)
        sorted.push_back(std::move(shares[from]));
    shares.swap(sorted);
}
