#include "connection_tracker_support.h"

#include "base/trace.h"
#include "monitor/connection_tracker.h"
#include "support/debug_output_capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

class ConnectionTrackerTest : public ::testing::Test {
protected:
    void SetUp() override {
        clearCapturedTrace();
        set_debug_trace(true);
    }
    void TearDown() override { set_debug_trace(false); }

    // One poll against `tracked`; returns the events.
    std::vector<ShareEvent> poll(const std::vector<ConnectionInfo>& snapshot, int32_t interval_minutes) {
        std::vector<ShareEvent> events;
        EXPECT_EQ(detectConnectionEvents(tracked, snapshot, events, interval_minutes), 0);
        return events;
    }

    static std::vector<EventKind> kinds(const std::vector<ShareEvent>& events) {
        std::vector<EventKind> result(events.size());
        std::transform(events.begin(), events.end(), result.begin(),
                       [](const ShareEvent& e) { return e.Kind; });
        return result;
    }

    static std::vector<uint32_t> ids(const std::vector<ShareEvent>& events) {
        std::vector<uint32_t> result(events.size());
        std::transform(events.begin(), events.end(), result.begin(),
                       [](const ShareEvent& e) { return e.Connection.ConnectionID; });
        return result;
    }

    [[nodiscard]] std::vector<uint32_t> tableIds() const {
        std::vector<uint32_t> result(tracked.size());
        std::transform(tracked.begin(), tracked.end(), result.begin(),
                       [](const ConnectionInfo& e) { return e.ConnectionID; });
        return result;
    }

    static std::vector<std::string> presenceLines(std::size_t count) {
        return std::vector<std::string>(count, "TARNWICK: adding presence");
    }

    std::vector<ConnectionInfo> tracked;
};

TEST_F(ConnectionTrackerTest, NewSessionsEnterInSnapshotOrderWithTheirFullRecord) {
    std::vector<ConnectionInfo> snapshot = {makeSession(7, 40), makeSession(3, 10), makeSession(9, 0)};
    snapshot[1].LastReportTime = 555; // whatever the query left there is replaced
    const std::vector<ShareEvent> events = poll(snapshot, 5);

    ASSERT_EQ(kinds(events), (std::vector<EventKind>{EventKind::Enter, EventKind::Enter, EventKind::Enter}));
    ASSERT_EQ(tracked.size(), 3u);
    for (std::size_t i = 0; i < snapshot.size(); ++i) {
        ConnectionInfo expected = snapshot[i];
        expected.LastReportTime = expected.ActiveTime;
        EXPECT_EQ(connectionDifference(expected, events[i].Connection), "") << "event " << i;
        EXPECT_EQ(connectionDifference(expected, tracked[i]), "") << "entry " << i;
    }
    EXPECT_TRUE(capturedTraceLines().empty());
}

TEST_F(ConnectionTrackerTest, EmptySnapshotLeavesEverySessionInTableOrder) {
    poll({makeSession(2, 10), makeSession(1, 20), makeSession(3, 30)}, 0);
    // The last poll that saw them refreshed their ActiveTime; a Leave carries those values.
    std::vector<ConnectionInfo> later = {makeSession(2, 15, 4), makeSession(1, 25), makeSession(3, 35)};
    later[0].UserName = "someone else";
    poll(later, 0);

    const std::vector<ShareEvent> events = poll({}, 5);
    ASSERT_EQ(kinds(events), (std::vector<EventKind>{EventKind::Leave, EventKind::Leave, EventKind::Leave}));
    EXPECT_EQ(ids(events), (std::vector<uint32_t>{2, 1, 3}));
    ConnectionInfo first = makeSession(2, 15);
    first.LastReportTime = 10;
    EXPECT_EQ(connectionDifference(first, events[0].Connection), "");
    EXPECT_EQ(events[2].Connection.ActiveTime, 35u);
    EXPECT_TRUE(tracked.empty());
}

TEST_F(ConnectionTrackerTest, BothEmptyGiveNoEventsAndStaleEventsAreDropped) {
    std::vector<ShareEvent> events = {ShareEvent{EventKind::Leave, makeSession(1, 1)}};
    EXPECT_EQ(detectConnectionEvents(tracked, {}, events, 5), 0);
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(tracked.empty());

    poll({makeSession(1, 1)}, 5);
    events = {ShareEvent{EventKind::Enter, makeSession(8, 8)}};
    EXPECT_EQ(detectConnectionEvents(tracked, {makeSession(1, 2)}, events, 5), 0);
    EXPECT_TRUE(events.empty()); // the session is unchanged: only the stale event was there
}

TEST_F(ConnectionTrackerTest, DuplicateNewIdEntersOnceFromItsFirstRecord) {
    ConnectionInfo first = makeSession(4, 100, 2);
    ConnectionInfo second = makeSession(4, 900, 7);
    second.ShareName = "other share";
    const std::vector<ShareEvent> events = poll({makeSession(1, 5), first, second}, 5);

    ASSERT_EQ(kinds(events), (std::vector<EventKind>{EventKind::Enter, EventKind::Enter}));
    first.LastReportTime = 100;
    EXPECT_EQ(connectionDifference(first, events[1].Connection), "");
    EXPECT_EQ(tableIds(), (std::vector<uint32_t>{1, 4}));
    EXPECT_EQ(connectionDifference(first, tracked[1]), "");
}

TEST_F(ConnectionTrackerTest, DuplicateTrackedIdTakesActiveTimeFromTheFirstRecord) {
    poll({makeSession(4, 100)}, 1);
    const std::vector<ShareEvent> events = poll({makeSession(4, 130), makeSession(4, 500)}, 1);
    EXPECT_TRUE(events.empty()); // 30 s since the report: not due, though the second record is
    ASSERT_EQ(tracked.size(), 1u);
    EXPECT_EQ(tracked[0].ActiveTime, 130u);
    EXPECT_EQ(tracked[0].LastReportTime, 100u);

    // Also when the repeat comes right after the record that matched the entry before it.
    tracked.clear();
    poll({makeSession(8, 0), makeSession(4, 0)}, 1);
    EXPECT_TRUE(poll({makeSession(4, 30), makeSession(8, 10), makeSession(4, 90)}, 1).empty());
    EXPECT_EQ(tableIds(), (std::vector<uint32_t>{8, 4}));
    EXPECT_EQ(tracked[1].ActiveTime, 30u);
}

TEST_F(ConnectionTrackerTest, TrackedSessionKeepsItsFirstDetailsAndOnlyRefreshesActiveTime) {
    poll({makeSession(5, 60, 1)}, 5);
    ConnectionInfo changed = makeSession(5, 70, 9);
    changed.NumberOfUsers = 3;
    changed.Caption = "new caption";
    changed.LastReportTime = 4242;
    const std::vector<ShareEvent> events = poll({changed}, 5);

    EXPECT_TRUE(events.empty());
    ConnectionInfo expected = makeSession(5, 70, 1);
    expected.LastReportTime = 60;
    ASSERT_EQ(tracked.size(), 1u);
    EXPECT_EQ(connectionDifference(expected, tracked[0]), "");
}

TEST_F(ConnectionTrackerTest, LeavesAndPresenceInTableOrderThenEntersInSnapshotOrder) {
    poll({makeSession(0xA, 0), makeSession(0xB, 0), makeSession(0xC, 0)}, 1);
    clearCapturedTrace();
    const std::vector<ShareEvent> events = poll({makeSession(0xD, 3), makeSession(0xC, 60)}, 1);

    EXPECT_EQ(kinds(events), (std::vector<EventKind>{EventKind::Leave, EventKind::Leave, EventKind::Presence,
                                                     EventKind::Enter}));
    EXPECT_EQ(ids(events), (std::vector<uint32_t>{0xA, 0xB, 0xC, 0xD}));
    EXPECT_EQ(events[2].Connection.ActiveTime, 60u);
    EXPECT_EQ(events[2].Connection.LastReportTime, 60u);
    EXPECT_EQ(events[3].Connection.LastReportTime, 3u);
    EXPECT_EQ(tableIds(), (std::vector<uint32_t>{0xC, 0xD}));
    EXPECT_EQ(capturedTraceLines(), presenceLines(1));
}

TEST_F(ConnectionTrackerTest, TableKeepsOrderOfFirstSighting) {
    poll({makeSession(30, 0), makeSession(10, 0), makeSession(20, 0)}, 0);
    poll({makeSession(50, 0), makeSession(20, 0), makeSession(30, 0), makeSession(40, 0)}, 0);
    EXPECT_EQ(tableIds(), (std::vector<uint32_t>{30, 20, 50, 40}));
    poll({makeSession(40, 0), makeSession(10, 0), makeSession(30, 0)}, 0);
    EXPECT_EQ(tableIds(), (std::vector<uint32_t>{30, 40, 10}));
}

TEST_F(ConnectionTrackerTest, PresenceFollowsTheThirtyMinuteExample) {
    poll({makeSession(1, 100)}, 30);
    struct Step {
        uint32_t active_time;
        bool presence;
    };
    const Step steps[] = {{1899, false}, {1901, true}, {3700, false}, {3701, true}, {3702, false}};
    for (const Step& step : steps) {
        clearCapturedTrace();
        const std::vector<ShareEvent> events = poll({makeSession(1, step.active_time)}, 30);
        ASSERT_EQ(events.size(), step.presence ? 1u : 0u) << "at " << step.active_time;
        EXPECT_EQ(capturedTraceLines(), presenceLines(events.size())) << "at " << step.active_time;
        if (step.presence) {
            EXPECT_EQ(events[0].Kind, EventKind::Presence);
            EXPECT_EQ(events[0].Connection.ActiveTime, step.active_time);
            EXPECT_EQ(events[0].Connection.LastReportTime, step.active_time);
        }
        EXPECT_EQ(tracked.at(0).ActiveTime, step.active_time);
    }

    // Exactly the interval counts as run out.
    tracked.clear();
    poll({makeSession(2, 100)}, 30);
    EXPECT_EQ(kinds(poll({makeSession(2, 1900)}, 30)), (std::vector<EventKind>{EventKind::Presence}));
}

TEST_F(ConnectionTrackerTest, ZeroOrNegativeIntervalNeverMakesPresence) {
    for (const int32_t interval : {0, -1, -30, std::numeric_limits<int32_t>::min()}) {
        tracked.clear();
        clearCapturedTrace();
        poll({makeSession(1, 0)}, interval);
        for (const uint32_t active_time : {60u, 100000u, 0x7fffffffu, 0xfffffffeu}) {
            EXPECT_TRUE(poll({makeSession(1, active_time)}, interval).empty())
                << interval << " at " << active_time;
            EXPECT_EQ(tracked.at(0).ActiveTime, active_time);
            EXPECT_EQ(tracked.at(0).LastReportTime, 0u);
        }
        EXPECT_TRUE(capturedTraceLines().empty());
    }
}

TEST_F(ConnectionTrackerTest, SwitchingPresenceOnReportsOverdueSessionsAtOnce) {
    poll({makeSession(1, 0), makeSession(2, 0)}, 0);
    poll({makeSession(1, 400), makeSession(2, 200)}, 0);
    const std::vector<ShareEvent> events = poll({makeSession(1, 400), makeSession(2, 200)}, 5);
    EXPECT_EQ(kinds(events), (std::vector<EventKind>{EventKind::Presence}));
    EXPECT_EQ(ids(events), (std::vector<uint32_t>{1}));
    EXPECT_EQ(tracked.at(1).LastReportTime, 0u);
}

TEST_F(ConnectionTrackerTest, ActiveTimeBelowLastReportWrapsAndIsDue) {
    poll({makeSession(1, 5000)}, 5);
    clearCapturedTrace();
    std::vector<ShareEvent> events = poll({makeSession(1, 10)}, 5);
    ASSERT_EQ(kinds(events), (std::vector<EventKind>{EventKind::Presence}));
    EXPECT_EQ(events[0].Connection.LastReportTime, 10u);
    EXPECT_EQ(tracked.at(0).LastReportTime, 10u);
    EXPECT_EQ(capturedTraceLines(), presenceLines(1));

    // A step one below the last report is the largest difference of all.
    tracked.clear();
    poll({makeSession(2, 299)}, 5);
    EXPECT_EQ(kinds(poll({makeSession(2, 298)}, 5)), (std::vector<EventKind>{EventKind::Presence}));

    // Across the top of the range the difference counts modulo 2^32.
    tracked.clear();
    poll({makeSession(3, 0xffffff00u)}, 5);
    events = poll({makeSession(3, 0x2bu)}, 5); // 0x12b = 299 seconds later, modulo 2^32
    EXPECT_TRUE(events.empty());
    events = poll({makeSession(3, 0x2cu)}, 5); // 300 seconds later
    EXPECT_EQ(kinds(events), (std::vector<EventKind>{EventKind::Presence}));

    // With presence off, the wrap changes nothing.
    tracked.clear();
    poll({makeSession(4, 5000)}, 0);
    EXPECT_TRUE(poll({makeSession(4, 10)}, 0).empty());
}

TEST_F(ConnectionTrackerTest, SessionThatComesBackIsANewEnter) {
    poll({makeSession(6, 500)}, 5);
    poll({makeSession(6, 800)}, 5);
    EXPECT_EQ(kinds(poll({}, 5)), (std::vector<EventKind>{EventKind::Leave}));
    EXPECT_TRUE(poll({}, 5).empty());
    ConnectionInfo back = makeSession(6, 20, 3);
    const std::vector<ShareEvent> events = poll({back}, 5);
    ASSERT_EQ(kinds(events), (std::vector<EventKind>{EventKind::Enter}));
    back.LastReportTime = 20;
    EXPECT_EQ(connectionDifference(back, events[0].Connection), "");
    EXPECT_EQ(connectionDifference(back, tracked.at(0)), "");
}

TEST_F(ConnectionTrackerTest, IntervalIsAWrappingThirtyTwoBitProductOfMinutes) {
    // Largest product without wrap, the smallest positive one and those that wrap either way.
    EXPECT_EQ(presenceIntervalSeconds(5), 300u);
    EXPECT_EQ(presenceIntervalSeconds(35791394), 2147483640u);
    EXPECT_EQ(presenceIntervalSeconds(35791395), 0u);                            // wraps negative
    EXPECT_EQ(presenceIntervalSeconds(71582788), 0u);                            // -16
    EXPECT_EQ(presenceIntervalSeconds(71582789), 44u);                           // wraps to +44
    EXPECT_EQ(presenceIntervalSeconds(-35791395), 2147483596u);                  // negative wraps positive
    EXPECT_EQ(presenceIntervalSeconds(std::numeric_limits<int32_t>::max()), 0u); // -60
    EXPECT_EQ(presenceIntervalSeconds(std::numeric_limits<int32_t>::min()), 0u); // 0
    EXPECT_EQ(presenceIntervalSeconds(0), 0u);
    EXPECT_EQ(presenceIntervalSeconds(-5), 0u);

    // The diff uses that product: 44 seconds for 71582789 minutes, nothing for INT32_MAX.
    poll({makeSession(1, 0), makeSession(2, 0)}, 71582789);
    EXPECT_TRUE(poll({makeSession(1, 43), makeSession(2, 43)}, 71582789).empty());
    EXPECT_EQ(ids(poll({makeSession(1, 44), makeSession(2, 43)}, 71582789)), (std::vector<uint32_t>{1}));
    EXPECT_TRUE(poll({makeSession(1, 0x7fffffff), makeSession(2, 0x7fffffff)}, 35791395).empty());
    // 2147483596 seconds for -35791395 minutes: session 2 (last report 0) is exactly due, session 1
    // (last report 44) one second short.
    EXPECT_EQ(ids(poll({makeSession(1, 2147483639), makeSession(2, 2147483596)}, -35791395)),
              (std::vector<uint32_t>{2}));
}

TEST_F(ConnectionTrackerTest, PresenceLineIsWrittenOncePerPresenceAndOnlyWhileTracing) {
    poll({makeSession(1, 0), makeSession(2, 0), makeSession(3, 0)}, 1);
    clearCapturedTrace();
    EXPECT_EQ(poll({makeSession(1, 60), makeSession(2, 59), makeSession(3, 61)}, 1).size(), 2u);
    EXPECT_EQ(capturedTraceLines(), presenceLines(2));

    clearCapturedTrace();
    set_debug_trace(false);
    EXPECT_EQ(poll({makeSession(1, 120), makeSession(2, 120), makeSession(3, 121)}, 1).size(), 3u);
    EXPECT_TRUE(capturedTraceLines().empty());
}

TEST(ConnectionTrackerClass, KeepsItsTableBetweenPolls) {
    ConnectionTracker tracker;
    std::vector<ShareEvent> events;
    EXPECT_EQ(tracker.detectEvents({makeSession(1, 0), makeSession(2, 0)}, events, 5), 0);
    EXPECT_EQ(events.size(), 2u);
    EXPECT_EQ(tracker.detectEvents({makeSession(2, 300)}, events, 5), 0);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].Kind, EventKind::Leave);
    EXPECT_EQ(events[1].Kind, EventKind::Presence);
    const ConnectionTracker& view = tracker;
    ASSERT_EQ(view.table().size(), 1u);
    EXPECT_EQ(view.table()[0].ConnectionID, 2u);
    EXPECT_EQ(view.table()[0].LastReportTime, 300u);
}

TEST(ConnectionTrackerClass, ProcessWideTrackerIsOneInstanceWhoseTableOutlivesItsUsers) {
    ConnectionTracker& tracker = connectionTracker();
    std::vector<ShareEvent> events;
    tracker.detectEvents({}, events, 0); // whatever an earlier test left
    tracker.detectEvents({makeSession(11, 0)}, events, 0);
    {
        // A later user (a restarted watcher) sees the sessions known before.
        std::vector<ShareEvent> later;
        EXPECT_EQ(detectConnectionEvents(connectionTracker().table(), {makeSession(11, 9)}, later, 0), 0);
        EXPECT_TRUE(later.empty());
    }
    ASSERT_EQ(connectionTracker().table().size(), 1u);
    EXPECT_EQ(connectionTracker().table()[0].ActiveTime, 9u);
    tracker.detectEvents({}, events, 0);
    EXPECT_TRUE(connectionTracker().table().empty());
}

} // namespace
