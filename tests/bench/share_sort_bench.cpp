// The share order against the literal exchange sort, on 1,000 and 10,000 shares. The literal one
// is quadratic in string comparisons (5 * 10^7 at 10,000).
//
//   build/<dir>/tarnwick_bench --benchmark_filter=ShareSort --benchmark_min_time=0.2
//
// Rows (each iteration sorts a fresh copy of the same list):
//   ShareSort_ours/_literal          distinct random names
//   ShareSort_ours/_literal_cases    about four entries per folded name, in mixed case
//   ShareSort_ours_one_name          every other entry the same name in mixed case, between
//                                    distinct smaller names: the most moves of equal names
//   ShareSort_copy                   only the copy of the list: the floor under every row

#include "literal_share_sort.h"

#include "base/ascii_case.h"
#include "ui/share_sort.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using SortFunction = void (*)(std::vector<ShareInfo>&);

enum class Names { Distinct, Cases, OneName };

std::string randomName(std::mt19937& rng) {
    static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_$";
    std::string name;
    const auto length = 4 + rng() % 9;
    for (std::size_t k = 0; k < length; ++k)
        name += kAlphabet[rng() % (sizeof kAlphabet - 1)];
    return name;
}

std::string flipCases(std::string name, std::mt19937& rng) {
    for (char& c : name) {
        if (rng() % 2 == 0)
            c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : lowerAscii(c);
    }
    return name;
}

const std::vector<ShareInfo>& shareList(std::size_t count, Names names) {
    static std::map<std::pair<std::size_t, Names>, std::vector<ShareInfo>> cache;
    std::vector<ShareInfo>& list = cache[{count, names}];
    if (!list.empty())
        return list;
    std::mt19937 rng(20240611);
    if (names == Names::OneName) {
        for (std::size_t k = 0; k < count; ++k) {
            const std::string name = k % 2 == 0 ? flipCases("Shared", rng) : "Data" + std::to_string(k);
            list.push_back(ShareInfo{name, "C:\\Shares\\" + std::to_string(k)});
        }
        return list;
    }
    std::vector<std::string> distinct;
    std::set<std::string> seen;
    const std::size_t folded_count = names == Names::Distinct ? count : count / 4;
    while (distinct.size() < folded_count) {
        std::string name = randomName(rng);
        if (seen.insert(lowerAscii(name)).second)
            distinct.push_back(name);
    }
    for (std::size_t k = 0; k < count; ++k) {
        const std::string name =
            names == Names::Distinct ? distinct[k] : flipCases(distinct[rng() % distinct.size()], rng);
        list.push_back(ShareInfo{name, "C:\\Shares\\" + name});
    }
    return list;
}

void sortShares(benchmark::State& state, SortFunction sort, Names names) {
    const std::vector<ShareInfo>& list = shareList(static_cast<std::size_t>(state.range(0)), names);
    for ([[maybe_unused]] auto _ : state) {
        std::vector<ShareInfo> shares = list;
        sort(shares);
        benchmark::DoNotOptimize(shares.data());
        benchmark::ClobberMemory();
    }
}

void copyOnly(std::vector<ShareInfo>& /*shares*/) {}

} // namespace

BENCHMARK_CAPTURE(sortShares, ShareSort_ours, &sortSharesByName, Names::Distinct)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sortShares, ShareSort_literal, &literalSortSharesByName, Names::Distinct)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sortShares, ShareSort_ours_cases, &sortSharesByName, Names::Cases)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sortShares, ShareSort_literal_cases, &literalSortSharesByName, Names::Cases)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sortShares, ShareSort_ours_one_name, &sortSharesByName, Names::OneName)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sortShares, ShareSort_copy, &copyOnly, Names::Distinct)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond);
