// The host's thread and the watcher thread on what they share, racing for real: built under
// ThreadSanitizer by the native-tsan preset, where any unguarded access fails the test.

#include "base/trace.h"
#include "config/settings_store.h"
#include "event_log_support.h"
#include "events/event_dispatch.h"
#include "events/event_log.h"
#include "events/message_template.h"
#include "monitor/connection_tracker.h"
#include "support/alert_recorder.h"
#include "support/fixed_clock.h"
#include "support/name_service_stub.h"
#include "ui/active_rows.h"
#include "ui/page_values.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

class Race : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.valid());
        setFixedLocalTime(seventhOfMarch());
        resetNameService();
        clearRecordedAlerts();
        set_debug_trace(false);
    }
    void TearDown() override {
        replaceSettings(PluginSettings());
        setLogPath("tarnwicklog.txt");
        clearRecordedAlerts();
        resetNameService();
        clearFixedLocalTime();
        connectionTracker().table().clear();
    }

    TempFolder folder_;
};

// What the pages hand to one apply; the templates and the persistent flag carry `mark`, so a
// mix of two applies shows.
PageValues pageValues(char mark, const std::string& log_file) {
    PageValues values;
    values.shares_read = true;
    values.source_rows = {{"Public", "C:\\Public", kRowChecked}};
    values.persistent_alerts = mark == 'a';
    values.plugin_mode_selection = ShowAndLogEvents;
    values.log_file = log_file;
    values.display_enter = true;
    values.enter_message = std::string(100, mark) + " in $ShareName$ $UserName$";
    values.display_leave = true;
    values.leave_message = std::string(150, mark) + " out $ShareName$ $UserName$";
    values.presence_interval = "30";
    return values;
}

// Event k: an Enter when k is even, a Leave when odd, by user "u<k>".
ShareEvent numberedEvent(int k) {
    ShareEvent event;
    event.Kind = k % 2 == 0 ? EventKind::Enter : EventKind::Leave;
    event.Connection.ShareName = "Public";
    event.Connection.UserName = "u" + std::to_string(k);
    event.Connection.ComputerName = "10.0.0.1";
    return event;
}

TEST_F(Race, ApplyOnTheHostThreadWhileTheWatcherDispatches) {
    constexpr int kApplies = 100000;
    constexpr int kLeastEvents = 2000;
    const std::string file_a = folder_.file("a.txt");
    const std::string file_b = folder_.file("b.txt");
    const PageValues values_a = pageValues('a', file_a);
    const PageValues values_b = pageValues('b', file_b);

    // As update_preferences applies: one swap of the settings, then the trace and the log path.
    auto apply = [](const PageValues& values) {
        updateSettings([&values](PluginSettings& settings) { applyPageValues(values, settings); });
        const SettingsSnapshot applied = currentSettings();
        set_debug_trace(applied->DebugMode != 0);
        setLogPath(applied->LogFile.c_str());
    };
    apply(values_a);

    std::atomic<bool> applying{true};
    std::atomic<int> dispatched{0};
    std::thread watcher([&] {
        for (int k = 0; applying.load() || k < kLeastEvents; ++k) {
            dispatchEvent(numberedEvent(k), false);
            dispatched.store(k + 1);
        }
    });
    for (int round = 0; round < kApplies || dispatched.load() < kLeastEvents; ++round)
        apply(round % 2 == 0 ? values_b : values_a);
    applying = false;
    watcher.join();
    const int events = dispatched.load();

    // Each alert's template and persistent flag come from one whole apply.
    const std::vector<RecordedAlert> alerts = recordedAlerts();
    ASSERT_EQ(alerts.size(), static_cast<size_t>(events));
    int seen_a = 0;
    for (int k = 0; k < events; ++k) {
        const char mark = alerts[k].text.empty() ? '?' : alerts[k].text[0];
        const std::string expected = k % 2 == 0
                                         ? std::string(100, mark) + " in Public u" + std::to_string(k)
                                         : std::string(150, mark) + " out Public u" + std::to_string(k);
        ASSERT_TRUE(mark == 'a' || mark == 'b') << alerts[k].text;
        ASSERT_EQ(alerts[k].text, expected);
        ASSERT_EQ(alerts[k].persistent, mark == 'a' ? 1 : 0) << "event " << k;
        seen_a += mark == 'a' ? 1 : 0;
    }
    EXPECT_GT(seen_a, 0);
    EXPECT_LT(seen_a, events);

    // Every line is whole, in one of the two files, in the order of the events.
    std::vector<int> logged;
    for (const std::string& path : {file_a, file_b}) {
        int previous = -1;
        for (const std::string& line : readLines(path)) {
            int k = -1;
            ASSERT_EQ(std::sscanf(line.c_str(), "%*s %*s %*s \"u%d\"", &k), 1) << line;
            ASSERT_EQ(line, std::string("07/03/2026 09:05:03 \"") + (k % 2 == 0 ? "ENTER" : "LEAVE") +
                                "\" \"u" + std::to_string(k) + "\" \"10.0.0.1\" \"10.0.0.1\" \"Public\"\n");
            EXPECT_GT(k, previous) << path;
            previous = k;
            logged.push_back(k);
        }
    }
    std::sort(logged.begin(), logged.end());
    ASSERT_EQ(logged.size(), static_cast<size_t>(events));
    for (int k = 0; k < events; ++k)
        ASSERT_EQ(logged[k], k);
}

// Sessions 1 to 3 in even polls, 1 to 5 in odd ones, each poll's number as every ActiveTime.
std::vector<ConnectionInfo> pollSnapshot(uint32_t poll) {
    std::vector<ConnectionInfo> snapshot;
    for (uint32_t id = 1; id <= (poll % 2 == 0 ? 3u : 5u); ++id) {
        ConnectionInfo session;
        session.ConnectionID = id;
        session.ShareName = "S" + std::to_string(id);
        session.UserName = "u" + std::to_string(id);
        session.ComputerName = "10.0.0." + std::to_string(id);
        session.ActiveTime = poll;
        snapshot.push_back(session);
    }
    return snapshot;
}

// Whether the viewer's rows are those of the table as a poll left it.
bool rowsOfOnePoll(const std::vector<ActiveShareRow>& rows, uint32_t poll) {
    const std::vector<ConnectionInfo> sessions = pollSnapshot(poll);
    return rows.size() == sessions.size() &&
           std::equal(rows.begin(), rows.end(), sessions.begin(),
                      [poll](const ActiveShareRow& row, const ConnectionInfo& session) {
                          return row.texts ==
                                 ActiveShareRow{{session.ShareName, session.UserName, session.ComputerName,
                                                 "host" + session.ComputerName.substr(7),
                                                 formatActiveTime(poll)}}
                                     .texts;
                      });
}

TEST_F(Race, TheViewerCopiesTheTableOfOnePollWhileTheWatcherDiffs) {
    PluginSettings settings;
    for (int id = 1; id <= 5; ++id) {
        settings.Sources.push_back({"S" + std::to_string(id), "C:\\"});
        setNameServiceEntry("10.0.0." + std::to_string(id), "host" + std::to_string(id));
    }
    replaceSettings(settings);
    // The shell guards the table with tracker_lock, a Win32 critical section; a mutex
    // stands in for it here, held as the watcher and the viewer hold theirs.
    std::mutex tracker_lock_stand_in;
    constexpr uint32_t kPolls = 20000;
    constexpr int kLeastCopies = 200;

    std::atomic<bool> polling{true};
    std::atomic<int> copies_of_three{0};
    std::atomic<int> copies_of_five{0};
    std::atomic<int> torn{0};
    std::thread viewer([&] {
        while (polling.load()) {
            std::vector<ActiveShareRow> rows;
            {
                std::lock_guard<std::mutex> hold(tracker_lock_stand_in);
                rows = activeRowsFor(connectionTracker().table());
            }
            if (rows.empty())
                continue; // before the first poll
            unsigned hours = 0;
            unsigned minutes = 0;
            unsigned seconds = 0;
            std::sscanf(rows[0].texts[4].c_str(), "%u:%u:%u", &hours, &minutes, &seconds);
            if (!rowsOfOnePoll(rows, hours * 3600 + minutes * 60 + seconds))
                ++torn;
            ++(rows.size() == 3 ? copies_of_three : copies_of_five);
        }
    });
    std::vector<ShareEvent> events;
    for (uint32_t poll = 0;
         poll < kPolls || copies_of_three.load() < kLeastCopies || copies_of_five.load() < kLeastCopies;
         ++poll) {
        const std::vector<ConnectionInfo> snapshot = pollSnapshot(poll);
        std::lock_guard<std::mutex> hold(tracker_lock_stand_in);
        connectionTracker().detectEvents(snapshot, events, 0);
    }
    polling = false;
    viewer.join();
    EXPECT_EQ(torn.load(), 0);
}

} // namespace
