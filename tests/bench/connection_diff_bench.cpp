// The connection diff per poll against the literal two-pass reference, on tables of 1,000 to
// 100,000 sessions with few changes per poll. The literal one is quadratic (about 10^10
// comparisons per poll at 100,000), so it runs at 1,000 and 10,000 only.
//
//   build/<dir>/tarnwick_bench --benchmark_filter=ConnectionDiff --benchmark_min_time=0.2
//
// Rows:
//   ConnectionDiff_ours      snapshots list the sessions in a stable order, as the query does
//   ConnectionDiff_shuffled  each snapshot in its own random order: every entry needs the lookup
//   ConnectionDiff_literal   the reference, same workload as ConnectionDiff_ours
//   ConnectionDiff_floor     only reads each record's ID and time on both sides: the memory cost
//                            that any diff of these records pays, for judging the per-session rise

#include "literal_connection_diff.h"

#include "base/trace.h"
#include "monitor/connection_tracker.h"
#include "support/debug_output_capture.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using DiffFunction = int (*)(std::vector<ConnectionInfo>&, const std::vector<ConnectionInfo>&,
                             std::vector<ShareEvent>&, int32_t);

constexpr int32_t kIntervalMinutes = 5;

ConnectionInfo benchSession(uint32_t id, uint32_t active_time) {
    ConnectionInfo info;
    info.ActiveTime = active_time;
    info.ConnectionID = id;
    info.ShareName = "Projects" + std::to_string(id % 7);
    info.ComputerName = "192.168." + std::to_string(id / 250 % 250) + "." + std::to_string(id % 250);
    info.UserName = "user" + std::to_string(id % 5000);
    info.Name = info.ShareName + "\\" + info.ComputerName + "\\" + info.UserName;
    info.Caption = info.Name;
    info.NumberOfFiles = id % 4;
    info.NumberOfUsers = 1;
    return info;
}

// Two snapshots that the polls alternate between, so that every poll sees the same amount of
// change without building snapshots inside the timed loop: going from `first` to `second`, 1% of
// the sessions leave, 1% new ones enter and 1% are due for Presence; going back, the 1% that left
// return, the new ones leave, and the due ones are due again (their ActiveTime falls below the
// last report and wraps).
struct Workload {
    std::vector<ConnectionInfo> first;
    std::vector<ConnectionInfo> second;
};

const Workload& workload(std::size_t sessions, bool shuffled) {
    static std::map<std::pair<std::size_t, bool>, Workload> cache;
    Workload& load = cache[{sessions, shuffled}];
    if (!load.first.empty())
        return load;
    for (std::size_t i = 0; i < sessions; ++i) {
        const auto id = static_cast<uint32_t>(1000 + i * 3);
        const auto active_time = static_cast<uint32_t>(i % 3600);
        load.first.push_back(benchSession(id, active_time));
        if (i % 100 == 0)
            continue; // leaves
        const uint32_t later = i % 100 == 50 ? kIntervalMinutes * 60 : 1;
        load.second.push_back(benchSession(id, active_time + later));
    }
    for (std::size_t i = 0; i < sessions / 100; ++i)
        load.second.push_back(benchSession(static_cast<uint32_t>(1001 + i * 3), 0));
    if (shuffled) {
        std::mt19937 rng(20240601);
        std::shuffle(load.first.begin(), load.first.end(), rng);
        std::shuffle(load.second.begin(), load.second.end(), rng);
    }
    return load;
}

void reportPerSession(benchmark::State& state, std::size_t sessions) {
    state.counters["per_session"] =
        benchmark::Counter(static_cast<double>(sessions),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void diffPolls(benchmark::State& state, DiffFunction diff, bool shuffled) {
    // Tracing off, as in normal use; the capture proves that no line was written.
    set_debug_trace(false);
    clearCapturedTrace();
    const auto sessions = static_cast<std::size_t>(state.range(0));
    const Workload& load = workload(sessions, shuffled);
    std::vector<ConnectionInfo> tracked;
    std::vector<ShareEvent> events;
    diff(tracked, load.first, events, kIntervalMinutes);

    bool to_second = true;
    std::size_t changes = 0;
    for ([[maybe_unused]] auto _ : state) {
        diff(tracked, to_second ? load.second : load.first, events, kIntervalMinutes);
        to_second = !to_second;
        changes += events.size();
        benchmark::DoNotOptimize(events.data());
        benchmark::ClobberMemory();
    }
    if (!capturedTraceLines().empty())
        state.SkipWithError("trace lines were written while timing");
    state.counters["events_per_poll"] =
        benchmark::Counter(static_cast<double>(changes), benchmark::Counter::kAvgIterations);
    reportPerSession(state, sessions);
}

void readFloor(benchmark::State& state) {
    const auto sessions = static_cast<std::size_t>(state.range(0));
    const Workload& load = workload(sessions, false);
    std::vector<ConnectionInfo> tracked;
    std::vector<ShareEvent> events;
    detectConnectionEvents(tracked, load.first, events, kIntervalMinutes);
    bool to_second = true;
    for ([[maybe_unused]] auto _ : state) {
        const std::vector<ConnectionInfo>& snapshot = to_second ? load.second : load.first;
        uint32_t sum =
            std::accumulate(tracked.begin(), tracked.end(), 0U, [](uint32_t acc, const ConnectionInfo& c) {
                return acc + (c.ConnectionID ^ c.LastReportTime);
            });
        sum =
            std::accumulate(snapshot.begin(), snapshot.end(), sum, [](uint32_t acc, const ConnectionInfo& c) {
                return acc + (c.ConnectionID ^ c.ActiveTime);
            });
        to_second = !to_second;
        benchmark::DoNotOptimize(sum);
    }
    reportPerSession(state, sessions);
}

} // namespace

BENCHMARK_CAPTURE(diffPolls, ConnectionDiff_ours, &detectConnectionEvents, false)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(diffPolls, ConnectionDiff_shuffled, &detectConnectionEvents, true)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(diffPolls, ConnectionDiff_literal, &literalDetectEvents, false)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(readFloor)
    ->Name("ConnectionDiff_floor")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
