// The tracker's diff against the literal two-pass reference over many random inputs: every poll
// must give the same event list, the same table and the same trace lines.

#include "connection_tracker_support.h"
#include "literal_connection_diff.h"

#include "base/trace.h"
#include "monitor/connection_tracker.h"
#include "support/debug_output_capture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Intervals around the edges of the 32-bit product: 0, negative, largest without wrap, and
// products that wrap to negative (35791395, kMostMinutes) or to positive (71582789, -35791395).
constexpr int32_t kMostMinutes = std::numeric_limits<int32_t>::max();
constexpr int32_t kLeastMinutes = std::numeric_limits<int32_t>::min();
const std::array<int32_t, 15> kEdgeIntervals = {
    0,         -1,           -5,           1, 2, 5, 30, 35791394, 35791395, 71582788, 71582789, -35791395,
    -71582789, kMostMinutes, kLeastMinutes};

const std::array<uint32_t, 8> kEdgeIds = {0,           1,        0x7fffffffU, 0x80000000U,
                                          0xffffffffU, 0x10000U, 0x20000U,    0x30000U};

// What the random inputs exercised, so that a weakened generator shows up as a failure.
struct Coverage {
    long polls = 0;
    long enters = 0;
    long leaves = 0;
    long presences = 0;
    long empty_snapshots = 0;
    long empty_tables = 0;
    long duplicate_snapshot_ids = 0;
    long duplicate_tracked_ids = 0;
    long wrapped_due = 0;        // tracked, ActiveTime below LastReportTime, interval positive
    long exactly_due = 0;        // difference equal to the interval
    long one_short = 0;          // difference one below the interval
    long wrapping_intervals = 0; // minutes whose product with 60 wraps
    long returns = 0;            // an ID entering again after it left
};

class RandomCase {
public:
    explicit RandomCase(uint32_t seed) : rng_(seed) {
        const uint32_t pool_size = 1 + below(20);
        for (uint32_t i = 0; i < pool_size; ++i) {
            if (chance(70))
                id_pool_.push_back(below(40));
            else if (chance(60))
                id_pool_.push_back(pick(kEdgeIds));
            else
                id_pool_.push_back(word());
        }
        interval_ = pickInterval();
    }

    // A starting table that need not have come from earlier polls: random times, possibly repeated IDs.
    std::vector<ConnectionInfo> arbitraryTable() {
        std::vector<ConnectionInfo> table;
        const uint32_t count = below(8);
        for (uint32_t i = 0; i < count; ++i) {
            ConnectionInfo entry = randomRecord(poolId(), chance(50) ? below(4000) : word());
            entry.LastReportTime = chance(50) ? entry.ActiveTime - below(400) : word();
            table.push_back(entry);
        }
        return table;
    }

    int32_t nextInterval() {
        if (chance(30))
            interval_ = pickInterval();
        return interval_;
    }

    std::vector<ConnectionInfo> nextSnapshot(const std::vector<ConnectionInfo>& tracked, int32_t interval) {
        std::vector<ConnectionInfo> snapshot;
        if (chance(12))
            return snapshot;
        const uint32_t count = 1 + below(12);
        for (uint32_t i = 0; i < count; ++i) {
            if (!tracked.empty() && chance(60)) {
                const ConnectionInfo& entry = tracked[below(static_cast<uint32_t>(tracked.size()))];
                snapshot.push_back(randomRecord(entry.ConnectionID, continuedTime(entry, interval)));
            } else {
                snapshot.push_back(randomRecord(poolId(), chance(50) ? below(4000) : word()));
            }
        }
        // Repeat some records, before or after the original, with other times and texts.
        while (chance(25)) {
            ConnectionInfo copy = snapshot[below(static_cast<uint32_t>(snapshot.size()))];
            copy.ActiveTime = chance(50) ? copy.ActiveTime + 1 + below(1000) : word();
            copy.UserName += "-dup";
            copy.NumberOfFiles += 1;
            snapshot.insert(snapshot.begin() + below(static_cast<uint32_t>(snapshot.size()) + 1), copy);
        }
        return snapshot;
    }

    bool chance(uint32_t percent) { return below(100) < percent; }
    template <typename T, std::size_t N> T pick(const std::array<T, N>& choices) {
        return choices.at(below(N));
    }
    uint32_t below(uint32_t bound) { return static_cast<uint32_t>(rng_() % bound); }

private:
    uint32_t word() { return static_cast<uint32_t>(rng_()); }
    uint32_t poolId() { return id_pool_[below(static_cast<uint32_t>(id_pool_.size()))]; }

    int32_t pickInterval() {
        switch (below(10)) {
        case 0:
        case 1:
        case 2:
        case 3:
            return pick(kEdgeIntervals);
        case 4:
        case 5:
        case 6:
            return static_cast<int32_t>(1 + below(5));
        case 7:
            return 0;
        case 8:
            return -static_cast<int32_t>(below(100));
        default:
            return static_cast<int32_t>(word());
        }
    }

    // The ActiveTime of a session that is still there, aimed at the presence threshold.
    uint32_t continuedTime(const ConnectionInfo& entry, int32_t interval) {
        const uint32_t seconds = presenceSecondsForGenerator(interval);
        switch (below(10)) {
        case 0:
        case 1:
            return entry.ActiveTime;
        case 2:
        case 3:
        case 4:
            return entry.ActiveTime + below(200);
        case 5:
        case 6:
            return entry.LastReportTime + seconds + below(3) - 1; // one short, exact, one over
        case 7:
            return entry.LastReportTime - 1 - below(100); // below the last report: wraps
        default:
            return word();
        }
    }

    // Only steers the generator, so it need not match the product exactly when that is not positive.
    static uint32_t presenceSecondsForGenerator(int32_t interval) {
        const int32_t seconds = literalIntervalSeconds(interval);
        return seconds > 0 ? static_cast<uint32_t>(seconds) : 300U;
    }

    ConnectionInfo randomRecord(uint32_t id, uint32_t active_time) {
        ConnectionInfo record = makeSession(id, active_time, below(5));
        record.LastReportTime = word(); // never read from the query; must not leak into the table
        record.NumberOfUsers = below(3);
        const std::string variant = "-v" + std::to_string(below(3));
        if (chance(50))
            record.ShareName += variant;
        if (chance(30))
            record.Caption += variant;
        if (chance(30))
            record.Description += variant;
        if (chance(30))
            record.ComputerName += variant;
        if (chance(30))
            record.Name += variant;
        if (chance(30))
            record.UserName += variant;
        return record;
    }

    std::mt19937 rng_;
    std::vector<uint32_t> id_pool_;
    int32_t interval_ = 0;
};

std::string describeInputs(const std::vector<ConnectionInfo>& tracked,
                           const std::vector<ConnectionInfo>& snapshot, int32_t interval) {
    std::ostringstream out;
    out << "interval " << interval << " min\ntracked:\n"
        << describeConnections(tracked) << "snapshot:\n"
        << describeConnections(snapshot);
    return out.str();
}

std::string traceDifference(const std::vector<std::string>& expected,
                            const std::vector<std::string>& actual) {
    if (expected == actual)
        return {};
    std::ostringstream out;
    out << "trace: expected " << expected.size() << " lines, got " << actual.size();
    for (std::size_t i = 0; i < expected.size() && i < actual.size(); ++i) {
        if (expected[i] != actual[i]) {
            out << "; line " << i << " expected '" << expected[i] << "', got '" << actual[i] << "'";
            break;
        }
    }
    return out.str();
}

void countInputs(const std::vector<ConnectionInfo>& tracked, const std::vector<ConnectionInfo>& snapshot,
                 int32_t interval, Coverage& coverage) {
    ++coverage.polls;
    coverage.empty_snapshots += snapshot.empty() ? 1 : 0;
    coverage.empty_tables += tracked.empty() && !snapshot.empty() ? 1 : 0;
    const int64_t exact = static_cast<int64_t>(interval) * 60;
    coverage.wrapping_intervals +=
        exact > std::numeric_limits<int32_t>::max() || exact < std::numeric_limits<int32_t>::min() ? 1 : 0;
    for (std::size_t i = 0; i < snapshot.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (snapshot[j].ConnectionID == snapshot[i].ConnectionID) {
                ++coverage.duplicate_snapshot_ids;
                break;
            }
        }
    }
    for (std::size_t i = 0; i < tracked.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (tracked[j].ConnectionID == tracked[i].ConnectionID) {
                ++coverage.duplicate_tracked_ids;
                break;
            }
        }
    }
    const int32_t seconds = literalIntervalSeconds(interval);
    if (seconds <= 0)
        return;
    for (const ConnectionInfo& entry : tracked) {
        for (const ConnectionInfo& record : snapshot) {
            if (record.ConnectionID != entry.ConnectionID)
                continue;
            const uint32_t elapsed = record.ActiveTime - entry.LastReportTime;
            coverage.wrapped_due += record.ActiveTime < entry.LastReportTime ? 1 : 0;
            coverage.exactly_due += elapsed == static_cast<uint32_t>(seconds) ? 1 : 0;
            coverage.one_short += elapsed + 1 == static_cast<uint32_t>(seconds) ? 1 : 0;
            break;
        }
    }
}

// One poll through both diffs from the same table; empty when they agree, else what differed.
std::string comparePoll(std::vector<ConnectionInfo>& literal_table, std::vector<ConnectionInfo>& our_table,
                        const std::vector<ConnectionInfo>& snapshot, int32_t interval, Coverage& coverage) {
    // Stale contents must be dropped by both.
    std::vector<ShareEvent> literal_events = {ShareEvent{EventKind::Presence, makeSession(99, 99)}};
    std::vector<ShareEvent> our_events = {ShareEvent{EventKind::Leave, makeSession(98, 98)}, ShareEvent{}};

    clearCapturedTrace();
    const int literal_result = literalDetectEvents(literal_table, snapshot, literal_events, interval);
    const std::vector<std::string> literal_trace = capturedTraceLines();
    clearCapturedTrace();
    const int our_result = detectConnectionEvents(our_table, snapshot, our_events, interval);
    const std::vector<std::string> our_trace = capturedTraceLines();

    for (const ShareEvent& event : literal_events) {
        coverage.enters += event.Kind == EventKind::Enter ? 1 : 0;
        coverage.leaves += event.Kind == EventKind::Leave ? 1 : 0;
        coverage.presences += event.Kind == EventKind::Presence ? 1 : 0;
    }
    if (literal_result != our_result)
        return "result: expected " + std::to_string(literal_result) + ", got " + std::to_string(our_result);
    std::string difference = eventsDifference(literal_events, our_events);
    if (difference.empty())
        difference = tableDifference(literal_table, our_table);
    if (difference.empty())
        difference = traceDifference(literal_trace, our_trace);
    return difference;
}

class ConnectionDiffDifferential : public ::testing::Test {
protected:
    void SetUp() override {
        clearCapturedTrace();
        set_debug_trace(true);
    }
    void TearDown() override {
        set_debug_trace(false);
        clearCapturedTrace();
    }
};

TEST_F(ConnectionDiffDifferential, RandomPollSequencesMatchTheLiteralDiff) {
    constexpr uint32_t kFirstSeed = 1;
    constexpr uint32_t kCases = 12000;
    Coverage coverage;
    for (uint32_t seed = kFirstSeed; seed < kFirstSeed + kCases; ++seed) {
        RandomCase random(seed);
        std::vector<ConnectionInfo> literal_table =
            random.chance(30) ? random.arbitraryTable() : std::vector<ConnectionInfo>{};
        std::vector<ConnectionInfo> our_table = literal_table;
        std::vector<uint32_t> gone;
        const uint32_t polls = 1 + random.below(6);
        for (uint32_t poll = 0; poll < polls; ++poll) {
            const int32_t interval = random.nextInterval();
            const std::vector<ConnectionInfo> snapshot = random.nextSnapshot(literal_table, interval);
            const std::vector<ConnectionInfo> before = literal_table;
            countInputs(before, snapshot, interval, coverage);
            for (const ConnectionInfo& record : snapshot) {
                for (const uint32_t id : gone)
                    coverage.returns += record.ConnectionID == id ? 1 : 0;
            }
            const std::string difference =
                comparePoll(literal_table, our_table, snapshot, interval, coverage);
            ASSERT_EQ(difference, "") << "seed " << seed << ", poll " << poll << "\n"
                                      << describeInputs(before, snapshot, interval);
            for (const ConnectionInfo& entry : before) {
                bool kept = false;
                for (const ConnectionInfo& now : literal_table)
                    kept = kept || now.ConnectionID == entry.ConnectionID;
                if (!kept)
                    gone.push_back(entry.ConnectionID);
            }
        }
    }

    // The generator must keep reaching every corner of the diff.
    EXPECT_GT(coverage.polls, 3 * static_cast<long>(kCases));
    EXPECT_GT(coverage.enters, 10000);
    EXPECT_GT(coverage.leaves, 10000);
    EXPECT_GT(coverage.presences, 5000);
    EXPECT_GT(coverage.empty_snapshots, 1000);
    EXPECT_GT(coverage.empty_tables, 1000);
    EXPECT_GT(coverage.duplicate_snapshot_ids, 5000);
    EXPECT_GT(coverage.duplicate_tracked_ids, 500);
    EXPECT_GT(coverage.wrapped_due, 1000);
    EXPECT_GT(coverage.exactly_due, 500);
    EXPECT_GT(coverage.one_short, 500);
    EXPECT_GT(coverage.wrapping_intervals, 1000);
    EXPECT_GT(coverage.returns, 1000);
}

// Tables large enough to grow the index, with ID patterns that share their low bits.
TEST_F(ConnectionDiffDifferential, LargeTablesWithChurnMatchTheLiteralDiff) {
    const std::array<uint32_t, 6> strides = {1, 2, 0x10000, 0x100000, 0x80000000U, 0x9e3779b9U};
    Coverage coverage;
    for (uint32_t seed = 1; seed <= 12; ++seed) {
        std::mt19937 rng(seed);
        const uint32_t stride = strides.at(seed % strides.size());
        const uint32_t size = 200 + static_cast<uint32_t>(rng() % 1800);
        uint32_t next_id = static_cast<uint32_t>(rng());
        std::vector<ConnectionInfo> snapshot;
        for (uint32_t i = 0; i < size; ++i, next_id += stride)
            snapshot.push_back(makeSession(next_id, static_cast<uint32_t>(rng() % 600)));
        std::vector<ConnectionInfo> literal_table;
        std::vector<ConnectionInfo> our_table;
        for (uint32_t poll = 0; poll < 8; ++poll) {
            const int32_t interval = poll % 3 == 2 ? 0 : 1 + static_cast<int32_t>(rng() % 5);
            const std::vector<ConnectionInfo> before = literal_table;
            countInputs(before, snapshot, interval, coverage);
            const std::string difference =
                comparePoll(literal_table, our_table, snapshot, interval, coverage);
            ASSERT_EQ(difference, "") << "seed " << seed << ", poll " << poll << "\n"
                                      << describeInputs(before, snapshot, interval);
            // Next poll: time passes, about 5% leave, as many new ones come, a few IDs repeat.
            for (ConnectionInfo& record : snapshot)
                record.ActiveTime += static_cast<uint32_t>(rng() % 120);
            for (uint32_t change = 0; change < size / 20; ++change) {
                snapshot.erase(snapshot.begin() + static_cast<long>(rng() % snapshot.size()));
                snapshot.push_back(makeSession(next_id, 0));
                next_id += stride;
            }
            for (uint32_t repeat = 0; repeat < 3; ++repeat)
                snapshot.push_back(snapshot[rng() % snapshot.size()]);
        }
    }
    EXPECT_GT(coverage.enters, 10000);
    EXPECT_GT(coverage.leaves, 500);
    EXPECT_GT(coverage.presences, 1000);
    EXPECT_GT(coverage.duplicate_snapshot_ids, 100);
}

} // namespace
