#include "base/trace.h"
#include "config/settings_store.h"
#include "event_log_support.h"
#include "events/event_dispatch.h"
#include "events/event_log.h"
#include "events/name_cache.h"
#include "events/poll_delivery.h"
#include "support/alert_recorder.h"
#include "support/windows_event_recorder.h"
#include "support/debug_output_capture.h"
#include "support/fixed_clock.h"
#include "support/log_file_hook.h"
#include "support/name_service_stub.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <future>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr const char* kKindNames[] = {"", "Enter", "Leave", "Presence"};

ShareEvent makeEvent(EventKind kind, const std::string& share) {
    ShareEvent event;
    event.Kind = kind;
    event.Connection.ActiveTime = 125;
    event.Connection.ShareName = share;
    event.Connection.UserName = "alice";
    event.Connection.ComputerName = "10.0.0.1";
    event.Connection.ConnectionID = 77;
    event.Connection.NumberOfFiles = 2;
    event.Connection.NumberOfUsers = 1;
    return event;
}

// Settings whose templates tell the kinds apart and need no name lookup.
PluginSettings baseSettings() {
    PluginSettings settings;
    settings.EnterEventsMessage = "in <b>$ShareName$</b> $UserName$";
    settings.LeaveEventsMessage = "out <b>$ShareName$</b> $UserName$";
    settings.PresenceEventsMessage = "still <b>$ShareName$</b> $UserName$ $ActiveTime$";
    settings.Sources = {{"Public", "C:\\Public"}, {"Music", "D:\\Music"}};
    return settings;
}

std::string expectedText(EventKind kind, const std::string& share) {
    switch (kind) {
    case EventKind::Enter:
        return "in <b>" + share + "</b> alice";
    case EventKind::Leave:
        return "out <b>" + share + "</b> alice";
    default:
        return "still <b>" + share + "</b> alice 00:02:05";
    }
}

int countLinesStartingWith(const std::vector<std::string>& lines, const std::string& start) {
    int count = 0;
    for (const std::string& line : lines)
        count += line.compare(0, start.size(), start) == 0 ? 1 : 0;
    return count;
}

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.valid());
        log_ = folder_.file("events.txt");
        setLogPath(log_.c_str());
        setFixedLocalTime(seventhOfMarch());
        resetNameService();
        clearRecordedAlerts();
        replaceSettings(baseSettings());
        clearCapturedTrace();
        set_debug_trace(true);
    }
    void TearDown() override {
        set_debug_trace(false);
        replaceSettings(PluginSettings());
        clearRecordedAlerts();
        setLogAppendHook(nullptr);
        resetNameService();
        clearFixedTick();
        clearFixedLocalTime();
        setLogPath("tarnwicklog.txt");
    }

    std::vector<std::string> logLines() const { return readLines(log_); }

    TempFolder folder_;
    std::string log_;
};

// Every combination of mode, watch mode, source membership, display switch, test
// flag and kind, checked against the outcome rules: alert, log line, kind trace
// line and the number of source lookups; each mode runs twice, the second time
// with the Windows Event Log on, which then gets exactly the log's events.
TEST_F(DispatchTest, OutcomeMatrix) {
    for (int round = 0; round < 2 * (ShowAndLogEvents + 1); ++round)
        for (int watch = 0; watch <= 1; ++watch)
            for (bool selected : {true, false})
                for (bool display : {true, false})
                    for (bool test : {false, true})
                        for (EventKind kind : {EventKind::Enter, EventKind::Leave, EventKind::Presence}) {
                            const int mode = round % (ShowAndLogEvents + 1);
                            const bool event_log = round > ShowAndLogEvents;
                            PluginSettings settings = baseSettings();
                            settings.PluginMode = mode;
                            settings.SourceWatchMode = watch;
                            settings.DisplayEnterEvents = display ? 1 : 0;
                            settings.DisplayLeaveEvents = display ? 1 : 0;
                            settings.DisplayPresenceEvents = display ? 1 : 0;
                            settings.WindowsEventLog = event_log ? 1 : 0;
                            replaceSettings(settings);
                            std::filesystem::remove(log_);
                            clearRecordedAlerts();
                            recordedWindowsEvents().clear();
                            clearCapturedTrace();

                            const std::string share = selected ? "Public" : "Private";
                            dispatchEvent(makeEvent(kind, share), test);

                            const bool shows = mode == ShowEvents || mode == ShowAndLogEvents;
                            const bool logs = mode == LogEvents || mode == ShowAndLogEvents;
                            const bool delivered = mode != Inactive && (display || test);
                            const bool alert = shows && delivered && (test || selected);
                            const bool logged = logs && delivered && !test && kind != EventKind::Presence &&
                                                (watch != 0 || selected);
                            const int lookups =
                                (delivered && !test && logs && kind != EventKind::Presence && watch == 0
                                     ? 1
                                     : 0) +
                                (delivered && !test && shows ? 1 : 0);
                            const char* kind_line = kind == EventKind::Enter   ? "TARNWICK: ADD:"
                                                    : kind == EventKind::Leave ? "TARNWICK: REM:"
                                                                               : "TARNWICK: PRESENCE:";

                            SCOPED_TRACE(testing::Message()
                                         << "mode " << mode << " watch " << watch << " selected " << selected
                                         << " display " << display << " test " << test << " kind "
                                         << kKindNames[static_cast<int>(kind)] << " event log " << event_log);
                            const std::vector<RecordedAlert> alerts = recordedAlerts();
                            ASSERT_EQ(alerts.size(), alert ? 1u : 0u);
                            if (alert) {
                                EXPECT_EQ(alerts[0].text, expectedText(kind, share));
                                EXPECT_EQ(alerts[0].connection.ShareName, share);
                            }
                            const std::vector<std::string> lines = logLines();
                            ASSERT_EQ(lines.size(), logged ? 1u : 0u);
                            if (logged) {
                                const std::string word = kind == EventKind::Enter ? "ENTER" : "LEAVE";
                                EXPECT_EQ(lines[0], "07/03/2026 09:05:03 \"" + word +
                                                        "\" \"alice\" \"10.0.0.1\" \"10.0.0.1\" \"" + share +
                                                        "\"\n");
                            }
                            const std::vector<WindowsEvent>& reported = recordedWindowsEvents();
                            ASSERT_EQ(reported.size(), logged && event_log ? 1u : 0u);
                            EXPECT_TRUE(reported.empty() ||
                                        reported[0].id == (kind == EventKind::Enter ? 1001u : 1002u));
                            const std::vector<std::string> trace = capturedTraceLines();
                            const bool kind_traced = mode != Inactive && !test;
                            ASSERT_FALSE(trace.empty() && kind_traced);
                            EXPECT_EQ(kind_traced ? trace[0] : std::string(),
                                      kind_traced ? kind_line + share : "");
                            EXPECT_EQ(countLinesStartingWith(trace, "TARNWICK: ADD:") +
                                          countLinesStartingWith(trace, "TARNWICK: REM:") +
                                          countLinesStartingWith(trace, "TARNWICK: PRESENCE:"),
                                      kind_traced ? 1 : 0);
                            EXPECT_EQ(countLinesStartingWith(trace, "TARNWICK: SOURCE [" + share + "]"),
                                      lookups);
                        }
}

// File events by mode, watch mode, source membership, the two switches and the test
// flag: a log line for each file opened or closed, an alert for each file opened.
TEST_F(DispatchTest, FileEventOutcomeMatrix) {
    for (int mode = Inactive; mode <= ShowAndLogEvents; ++mode)
        for (int watch = 0; watch <= 1; ++watch)
            for (bool selected : {true, false})
                for (int switches = 0; switches < 4; ++switches)
                    for (bool test : {false, true})
                        for (EventKind kind : {EventKind::FileOpened, EventKind::FileClosed}) {
                            PluginSettings settings = baseSettings();
                            settings.PluginMode = mode;
                            settings.SourceWatchMode = watch;
                            settings.LogFileEvents = switches & 1;
                            settings.DisplayFileEvents = (switches >> 1) & 1;
                            settings.FileEventsMessage = "$FileName$ on $ShareName$";
                            settings.WindowsEventLog = 1;
                            replaceSettings(settings);
                            std::filesystem::remove(log_);
                            clearRecordedAlerts();
                            recordedWindowsEvents().clear();
                            const std::string share = selected ? "Public" : "Private";
                            ShareEvent event = makeEvent(kind, share);
                            event.FileName = "a.txt";
                            event.FilePath = "C:\\Public\\a.txt";
                            dispatchEvent(event, test);

                            const bool opened = kind == EventKind::FileOpened;
                            const bool alert = (mode == ShowEvents || mode == ShowAndLogEvents) && opened &&
                                               (test || ((switches & 2) != 0 && selected));
                            const bool logged = (mode == LogEvents || mode == ShowAndLogEvents) && !test &&
                                                (switches & 1) != 0 && (watch != 0 || selected);
                            SCOPED_TRACE(std::to_string(mode) + std::to_string(watch) +
                                         std::to_string(selected) + std::to_string(switches) +
                                         std::to_string(test) + std::to_string(opened));
                            const std::vector<RecordedAlert> alerts = recordedAlerts();
                            ASSERT_EQ(alerts.size(), alert ? 1u : 0u);
                            if (alert) {
                                EXPECT_EQ(alerts[0].text, "a.txt on " + share);
                            }
                            const std::vector<std::string> lines = logLines();
                            ASSERT_EQ(lines.size(), logged ? 1u : 0u);
                            const std::vector<WindowsEvent>& reported = recordedWindowsEvents();
                            ASSERT_EQ(reported.size(), logged ? 1u : 0u)
                                << "the Windows Event Log with the line";
                            if (logged) {
                                EXPECT_EQ(reported[0].id, opened ? EventIdFileOpened : EventIdFileClosed);
                                EXPECT_EQ(reported[0].strings[StringFilePath], "C:\\Public\\a.txt");
                                EXPECT_EQ(lines[0], "07/03/2026 09:05:03 \"" +
                                                        std::string(opened ? "OPEN" : "CLOSE") +
                                                        "\" \"alice\" \"10.0.0.1\" \"10.0.0.1\" \"" + share +
                                                        "\" \"a.txt\"\n");
                            }
                        }
}

TEST_F(DispatchTest, InactiveReturnsBeforeAnything) {
    PluginSettings settings = baseSettings();
    settings.PluginMode = Inactive;
    settings.EnterEventsMessage = "$ComputerRealName$";
    replaceSettings(settings);
    for (bool test : {false, true})
        for (EventKind kind : {EventKind::Enter, EventKind::Leave, EventKind::Presence})
            dispatchEvent(makeEvent(kind, "Public"), test);
    EXPECT_TRUE(capturedTraceLines().empty());
    EXPECT_TRUE(recordedAlerts().empty());
    EXPECT_FALSE(std::filesystem::exists(log_));
    EXPECT_EQ(nameServiceQueryCount(), 0);
}

TEST_F(DispatchTest, EachKindUsesItsTemplateAndTraceLine) {
    PluginSettings settings = baseSettings();
    settings.PluginMode = ShowEvents;
    settings.PersistentAlerts = 1;
    replaceSettings(settings);
    dispatchEvent(makeEvent(EventKind::Enter, "Public"), false);
    dispatchEvent(makeEvent(EventKind::Presence, "Music"), false);
    dispatchEvent(makeEvent(EventKind::Leave, "Public"), false);

    const std::vector<RecordedAlert> alerts = recordedAlerts();
    ASSERT_EQ(alerts.size(), 3u);
    EXPECT_EQ(alerts[0].text, "in <b>Public</b> alice");
    EXPECT_EQ(alerts[1].text, "still <b>Music</b> alice 00:02:05");
    EXPECT_EQ(alerts[2].text, "out <b>Public</b> alice");
    for (const RecordedAlert& alert : alerts) {
        EXPECT_EQ(alert.persistent, 1);
        EXPECT_EQ(alert.connection.UserName, "alice");
        EXPECT_EQ(alert.connection.ComputerName, "10.0.0.1");
        EXPECT_EQ(alert.connection.ConnectionID, 77u);
        EXPECT_EQ(alert.connection.ActiveTime, 125u);
    }
    const std::vector<std::string> expected_trace = {
        "TARNWICK: ADD:Public",     "TARNWICK: SOURCE [Public] FOUND!",
        "TARNWICK: PRESENCE:Music", "TARNWICK: SOURCE [Music] FOUND!",
        "TARNWICK: REM:Public",     "TARNWICK: SOURCE [Public] FOUND!",
    };
    EXPECT_EQ(capturedTraceLines(), expected_trace);
}

TEST_F(DispatchTest, ShowAndLogWithSourcesOnlyLooksUpTwice) {
    PluginSettings settings = baseSettings();
    settings.PluginMode = ShowAndLogEvents;
    settings.SourceWatchMode = SourcesOnly;
    settings.EnterEventsMessage = "$UserName$ on $ComputerRealName$";
    replaceSettings(settings);
    setNameServiceEntry("10.0.0.1", "alice-pc");
    deliverPollEvents({makeEvent(EventKind::Enter, "Public")}, platformTickCount() + 60000,
                      [] { return false; });

    // The template's lookup, then the log step's source test and the log line's
    // own lookup, then the alert step's source test.
    const std::vector<std::string> expected_trace = {
        "TARNWICK: ADD:Public",
        "TARNWICK: resolving [10.0.0.1] = [alice-pc]",
        "TARNWICK: SOURCE [Public] FOUND!",
        "TARNWICK: resolving [10.0.0.1] = [alice-pc]",
        "TARNWICK: SOURCE [Public] FOUND!",
    };
    EXPECT_EQ(capturedTraceLines(), expected_trace);
    ASSERT_EQ(recordedAlerts().size(), 1u);
    EXPECT_EQ(recordedAlerts()[0].text, "alice on alice-pc");
    const std::vector<std::string> expected_log = {
        "07/03/2026 09:05:03 \"ENTER\" \"alice\" \"10.0.0.1\" \"alice-pc\" \"Public\"\n"};
    EXPECT_EQ(logLines(), expected_log);
}

TEST_F(DispatchTest, TestEventsShowTheAppliedTemplateOnly) {
    PluginSettings settings = baseSettings();
    settings.PluginMode = ShowAndLogEvents;
    settings.DisplayLeaveEvents = 0;
    settings.LeaveEventsMessage = "applied $ShareName$";
    settings.Sources.clear();
    replaceSettings(settings);
    dispatchEvent(makeEvent(EventKind::Leave, "Elsewhere"), true);
    ASSERT_EQ(recordedAlerts().size(), 1u);
    EXPECT_EQ(recordedAlerts()[0].text, "applied Elsewhere");
    EXPECT_TRUE(capturedTraceLines().empty());
    EXPECT_FALSE(std::filesystem::exists(log_));

    settings.PluginMode = LogEvents;
    replaceSettings(settings);
    clearRecordedAlerts();
    dispatchEvent(makeEvent(EventKind::Enter, "Public"), true);
    EXPECT_TRUE(recordedAlerts().empty());
    EXPECT_FALSE(std::filesystem::exists(log_));
}

TEST_F(DispatchTest, NoSourcesShowNothingAndLogOnlyWhenLoggingAll) {
    PluginSettings settings = baseSettings();
    settings.Sources.clear();
    settings.SourceWatchMode = SourcesOnly;
    replaceSettings(settings);
    for (EventKind kind : {EventKind::Enter, EventKind::Leave, EventKind::Presence})
        dispatchEvent(makeEvent(kind, "Public"), false);
    EXPECT_TRUE(recordedAlerts().empty());
    EXPECT_FALSE(std::filesystem::exists(log_));

    settings.SourceWatchMode = 1;
    replaceSettings(settings);
    for (EventKind kind : {EventKind::Enter, EventKind::Leave, EventKind::Presence})
        dispatchEvent(makeEvent(kind, "Public"), false);
    EXPECT_TRUE(recordedAlerts().empty());
    const std::vector<std::string> lines = logLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("\"ENTER\""), std::string::npos);
    EXPECT_NE(lines[1].find("\"LEAVE\""), std::string::npos);
}

TEST_F(DispatchTest, AnyNonZeroWatchModeLogsAll) {
    PluginSettings settings = baseSettings();
    settings.PluginMode = LogEvents;
    settings.SourceWatchMode = 5;
    replaceSettings(settings);
    dispatchEvent(makeEvent(EventKind::Enter, "Unlisted"), false);
    EXPECT_EQ(logLines().size(), 1u);
    EXPECT_EQ(countLinesStartingWith(capturedTraceLines(), "TARNWICK: SOURCE"), 0);
}

TEST_F(DispatchTest, ShareDifferingOnlyInCaseIsNotASource) {
    PluginSettings settings = baseSettings();
    settings.SourceWatchMode = SourcesOnly;
    replaceSettings(settings);
    dispatchEvent(makeEvent(EventKind::Enter, "public"), false);
    dispatchEvent(makeEvent(EventKind::Enter, "PUBLIC"), false);
    EXPECT_TRUE(recordedAlerts().empty());
    EXPECT_FALSE(std::filesystem::exists(log_));
}

TEST_F(DispatchTest, LeaveWithDisplayOffLeavesOnlyItsTraceLine) {
    PluginSettings settings = baseSettings();
    settings.DisplayLeaveEvents = 0;
    settings.LeaveEventsMessage = "$ComputerRealName$";
    replaceSettings(settings);
    dispatchEvent(makeEvent(EventKind::Leave, "Public"), false);
    const std::vector<std::string> expected_trace = {"TARNWICK: REM:Public"};
    EXPECT_EQ(capturedTraceLines(), expected_trace);
    EXPECT_TRUE(recordedAlerts().empty());
    EXPECT_FALSE(std::filesystem::exists(log_));
    EXPECT_EQ(nameServiceQueryCount(), 0);
}

TEST_F(DispatchTest, UnknownModeIsTracedButNeitherShownNorLogged) {
    PluginSettings settings = baseSettings();
    settings.PluginMode = 7;
    replaceSettings(settings);
    dispatchEvent(makeEvent(EventKind::Enter, "Public"), false);
    dispatchEvent(makeEvent(EventKind::Enter, "Public"), true);
    const std::vector<std::string> expected_trace = {"TARNWICK: ADD:Public"};
    EXPECT_EQ(capturedTraceLines(), expected_trace);
    EXPECT_TRUE(recordedAlerts().empty());
    EXPECT_FALSE(std::filesystem::exists(log_));
}

TEST_F(DispatchTest, OneEventSeesOneSnapshotOfTheSettings) {
    PluginSettings settings = baseSettings();
    settings.PluginMode = ShowAndLogEvents;
    settings.SourceWatchMode = SourcesOnly;
    settings.EnterEventsMessage = "$ComputerRealName$ $ShareName$";
    replaceSettings(settings);
    bool swapped = false;
    // While the line is written, the preferences are applied with nothing selected.
    setLogAppendHook([&swapped] {
        if (swapped)
            return;
        swapped = true;
        PluginSettings emptied = baseSettings();
        emptied.PluginMode = LogEvents;
        emptied.SourceWatchMode = SourcesOnly;
        emptied.Sources.clear();
        replaceSettings(emptied);
    });
    dispatchEvent(makeEvent(EventKind::Enter, "Public"), false);
    ASSERT_TRUE(swapped);
    ASSERT_EQ(recordedAlerts().size(), 1u);
    EXPECT_EQ(recordedAlerts()[0].text, "10.0.0.1 Public");
    EXPECT_EQ(logLines().size(), 1u);

    // The next event takes the new settings.
    clearRecordedAlerts();
    dispatchEvent(makeEvent(EventKind::Enter, "Public"), false);
    EXPECT_TRUE(recordedAlerts().empty());
    EXPECT_EQ(logLines().size(), 1u);
}

TEST_F(DispatchTest, APollOfAThousandEventsIsLoggedInOrder) {
    PluginSettings settings = baseSettings();
    settings.PluginMode = LogEvents;
    settings.SourceWatchMode = SourcesOnlyLogAll;
    replaceSettings(settings);
    set_debug_trace(false);
    constexpr int kEvents = 1000;
    std::vector<std::string> expected;
    for (int i = 0; i < kEvents; ++i) {
        char share[32];
        std::snprintf(share, sizeof share, "Share %04d", i);
        const EventKind kind =
            i % 3 == 2 ? EventKind::Presence : (i % 3 == 0 ? EventKind::Enter : EventKind::Leave);
        ShareEvent event = makeEvent(kind, share);
        event.Connection.UserName = "user " + std::to_string(i);
        dispatchEvent(event, false);
        if (kind != EventKind::Presence)
            expected.push_back(std::string("07/03/2026 09:05:03 \"") +
                               (kind == EventKind::Enter ? "ENTER" : "LEAVE") + "\" \"user " +
                               std::to_string(i) + "\" \"10.0.0.1\" \"10.0.0.1\" \"" + share + "\"\n");
    }
    EXPECT_EQ(logLines(), expected);
    EXPECT_TRUE(recordedAlerts().empty());
}

// Each use of a name is traced alike, whether the name service was asked or not.
TEST_F(DispatchTest, NamesAreKeptTenMinutesAndNoNameOneMinute) {
    setNameServiceEntry("10.0.0.1", "alice-pc");
    const struct {
        const char* address;
        uint64_t kept;
        const char* trace;
    } cases[] = {{"10.0.0.1", kNameKeptMilliseconds, "TARNWICK: resolving [10.0.0.1] = [alice-pc]"},
                 {"10.0.0.2", kNoNameKeptMilliseconds, "TARNWICK: resolving [10.0.0.2] = ERROR (11004)"}};
    for (const auto& c : cases) {
        clearCapturedTrace();
        const int queries = nameServiceQueryCount();
        for (uint64_t after : {uint64_t{0}, c.kept - 1, c.kept}) {
            setFixedTick(5000 + after);
            resolveComputerName(c.address, after == c.kept - 1 ? NameWait::KnownOnly : NameWait::LookUp);
            resolveComputerName(c.address);
        }
        EXPECT_EQ(nameServiceQueryCount(), queries + 2)
            << c.address << ": asked, reused, asked again once expired";
        EXPECT_EQ(capturedTraceLines(), std::vector<std::string>(6, c.trace));
    }
    NameCache cache(2);
    NameAnswer answer;
    for (const char* address : {"a", "b", "a", "c"})
        cache.store(address, answer, 0);
    EXPECT_TRUE(cache.find("a", 1, answer) && cache.find("c", 1, answer)) << "the newest two are kept";
    EXPECT_FALSE(cache.find("b", 1, answer)) << "the oldest answer goes first";
}

// A poll's name is awaited until the deadline or a stop; the late answer then
// serves the next poll, from the one query still under way.
TEST_F(DispatchTest, APollWaitsForNamesUntilItsDeadlineOrAStop) {
    PluginSettings settings = baseSettings();
    settings.PluginMode = ShowAndLogEvents;
    settings.EnterEventsMessage = "$ComputerRealName$";
    replaceSettings(settings);
    setNameServiceEntry("10.0.0.1", "alice-pc");
    std::mutex gate_mutex;
    std::condition_variable gate;
    bool open = false;
    setNameServiceHook([&] {
        std::unique_lock<std::mutex> hold(gate_mutex);
        gate.wait(hold, [&open] { return open; });
    });
    std::atomic<bool> stop{false};
    const uint64_t deadline = 5000 + kNameWaitMilliseconds;
    for (bool stopped : {false, true}) {
        setFixedTick(5000);
        clearRecordedAlerts();
        auto delivery = std::async(std::launch::async, [&stop, deadline] {
            deliverPollEvents({makeEvent(EventKind::Enter, "Public")}, deadline,
                              [&stop] { return stop.load(); });
        });
        EXPECT_EQ(delivery.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
        if (stopped)
            stop = true;
        else
            setFixedTick(deadline);
        ASSERT_EQ(delivery.wait_for(std::chrono::seconds(10)), std::future_status::ready);
        EXPECT_EQ(logLines().back(),
                  "07/03/2026 09:05:03 \"ENTER\" \"alice\" \"10.0.0.1\" \"10.0.0.1\" \"Public\"\n");
        EXPECT_EQ(recordedAlerts().size(), stopped ? 0u : 1u) << "a stopped poll shows no alert";
    }
    {
        std::lock_guard<std::mutex> hold(gate_mutex);
        open = true;
    }
    gate.notify_all();
    joinLookupThreads();
    stop = false;
    deliverPollEvents({makeEvent(EventKind::Leave, "Public")}, 0, [] { return false; });
    EXPECT_EQ(logLines().back(),
              "07/03/2026 09:05:03 \"LEAVE\" \"alice\" \"10.0.0.1\" \"alice-pc\" \"Public\"\n");
    EXPECT_EQ(nameServiceQueryCount(), 1);
}

} // namespace
