// Sessions served by the fake WMI provider, polled by the real DLL, delivered
// as host alerts and event log lines.

#include "session_fixture.h"

#include "config/plugin_settings.h"

#include <regex>

namespace {

std::vector<std::string> alertTexts() {
    std::vector<std::string> texts;
    for (const hoststub::Request& r : hoststub::requestsNamed("systraySetAlert"))
        texts.push_back(r.alert_text);
    return texts;
}

class Delivery : public SessionTest {
protected:
    // Mode, watch mode and sources as given; Public and Docs are the usual sources.
    void
    configure(int mode, int watch_mode, const std::string& extra = "",
              const std::string& sources = "SourcesCount = 2\r\nSourceName1 = Public\r\nSourcePath1 = "
                                           "C:\\Public\r\nSourceName2 = Docs\r\nSourcePath2 = C:\\Docs\r\n") {
        writeSettings("PluginMode = " + std::to_string(mode) + "\r\nSourceWatchMode = " +
                          std::to_string(watch_mode) + "\r\nPresenceUpdateInterval = 5\r\n" + extra,
                      sources);
    }

    // Serves one session on Public and one on Music for a poll, then neither.
    void enterAndLeave() {
        serve({makeSession(1, "Public", "ann", 10, "127.0.0.1"),
               makeSession(2, "Music", "ben", 20, "127.0.0.1")});
        loadAndStart();
        // Served before the start, so the poll that ran the first query saw them.
        ASSERT_TRUE(data_.waitForQueryCount(2));
        serve({});
        awaitNextPoll();
    }
};

TEST_F(Delivery, EnterPresenceAndLeaveBecomeAlertsAndLogLines) {
    configure(ShowAndLogEvents, SourcesOnlyLogAll);
    serve({makeSession(9, "Public", "alice", 100, "127.0.0.1")});
    loadAndStart();
    ASSERT_TRUE(hoststub::waitForRequests("systraySetAlert", 1, 10000));
    serve({makeSession(9, "Public", "alice", 399, "127.0.0.1")});
    awaitNextPoll();
    EXPECT_EQ(alertTexts().size(), 1u) << "299 seconds are less than the 5-minute interval";
    serve({makeSession(9, "Public", "alice", 400, "127.0.0.1")});
    awaitNextPoll();
    serve({});
    ASSERT_TRUE(hoststub::waitForRequests("systraySetAlert", 3, 10000));

    EXPECT_EQ(alertTexts(),
              (std::vector<std::string>{
                  "Share <b>Public</b> entered by <b>alice (localhost)</b>.",
                  "Share <b>Public</b> accessed by <b>alice (localhost)</b> for <b>00:06:40</b>.",
                  "Share <b>Public</b> leaved by <b>alice (localhost)</b>.",
              }));
    for (const hoststub::Request& alert : hoststub::requestsNamed("systraySetAlert")) {
        EXPECT_EQ(alert.struct_size, host::kRecordSizes.alert);
        EXPECT_EQ(alert.alert_type, "mail");
        EXPECT_EQ(alert.alert_zero[0] | alert.alert_zero[1] | alert.alert_zero[2], 0u);
        EXPECT_NE(alert.alert_callback, nullptr);
        EXPECT_NE(alert.alert_user_data, nullptr);
        EXPECT_EQ(alert.alert_persistent, 0);
        EXPECT_NE(alert.thread_id, GetCurrentThreadId()) << "real events come from the watcher thread";
    }
    bool ended = false;
    const auto lines = logLines(logPath(), &ended);
    EXPECT_TRUE(ended);
    ASSERT_EQ(lines.size(), 2u) << "a Presence event is never logged";
    EXPECT_EQ(afterTimestamp(lines[0]), "\"ENTER\" \"alice\" \"127.0.0.1\" \"localhost\" \"Public\"");
    EXPECT_EQ(afterTimestamp(lines[1]), "\"LEAVE\" \"alice\" \"127.0.0.1\" \"localhost\" \"Public\"");
    EXPECT_EQ(hoststub::destroyAlerts(), 3u);
    EXPECT_EQ(countTraceContaining("][alert_destroy] / "), 3u);
}

TEST_F(Delivery, QuietVisitorsAreOnlyLoggedHiddenOnesNeitherStrangersBoth) {
    // The quiet rule matches the address, the hidden one the host name, each ignoring case.
    configure(ShowAndLogEvents, SourcesOnlyLogAll, "",
              "SourcesCount = 1\r\nSourceName1 = Public\r\n[Visitors]\r\nRulesCount = 2\r\n"
              "RuleUser1 = \"QUIET\"\r\nRuleComputer1 = \"127.0.0.?\"\r\nRuleAction1 = 1\r\n"
              "RuleUser2 = \"hid*\"\r\nRuleComputer2 = \"LOCALHOST\"\r\nRuleAction2 = 2\r\n");
    serve({makeSession(1, "Public", "quiet", 10, "127.0.0.1"),
           makeSession(2, "Public", "hidden", 10, "127.0.0.1"),
           makeSession(3, "Public", "bob", 10, "127.0.0.1")});
    loadAndStart();
    ASSERT_TRUE(hoststub::waitForTrace("TARNWICK: ADD:Public", 3, 10000));
    awaitNextPoll();
    EXPECT_EQ(alertTexts(),
              std::vector<std::string>{"Share <b>Public</b> entered by <b>bob (localhost)</b>."});
    std::vector<std::string> logged;
    for (const std::string& line : logLines(logPath()))
        logged.push_back(afterTimestamp(line));
    EXPECT_EQ(logged, (std::vector<std::string>{"\"ENTER\" \"quiet\" \"127.0.0.1\" \"localhost\" \"Public\"",
                                                "\"ENTER\" \"bob\" \"127.0.0.1\" \"localhost\" \"Public\""}));
}

TEST_F(Delivery, LogLinesCarryTheLocalTimeOfWriting) {
    configure(LogEvents, SourcesOnlyLogAll);
    SYSTEMTIME before;
    GetLocalTime(&before);
    serve({makeSession(4, "Music", "zoe", 1, "127.0.0.1")});
    loadAndStart();
    ASSERT_TRUE(hoststub::waitForTrace("TARNWICK: ADD:Music", 1, 10000));
    awaitNextPoll();
    const auto lines = logLines(logPath());
    ASSERT_EQ(lines.size(), 1u);
    char expected_date[16];
    std::snprintf(expected_date, sizeof expected_date, "%02d/%02d/%04d ", before.wDay, before.wMonth,
                  before.wYear);
    // Midnight may pass during the test; then the date is the next day's.
    if (lines[0].compare(0, 11, expected_date) != 0)
        GTEST_SKIP() << "the date changed during the test";
    EXPECT_TRUE(std::regex_match(lines[0].substr(11, 9), std::regex(R"(([01]\d|2[0-3]):[0-5]\d:[0-5]\d )")));
}

TEST_F(Delivery, EventsOfOnePollKeepTheirOrder) {
    configure(ShowEvents, SourcesOnly, "",
              "SourcesCount = 4\r\nSourceName1 = A\r\nSourceName2 = B\r\n"
              "SourceName3 = C\r\nSourceName4 = D\r\n");
    serve({makeSession(1, "A", "u1", 0, "127.0.0.1"), makeSession(2, "B", "u2", 0, "127.0.0.1"),
           makeSession(3, "C", "u3", 0, "127.0.0.1")});
    loadAndStart();
    ASSERT_TRUE(hoststub::waitForRequests("systraySetAlert", 3, 10000));
    hoststub::clearRequests();
    serve({makeSession(4, "D", "u4", 0, "127.0.0.1"), makeSession(3, "C", "u3", 300, "127.0.0.1")});
    ASSERT_TRUE(hoststub::waitForRequests("systraySetAlert", 4, 10000));
    EXPECT_EQ(alertTexts(), (std::vector<std::string>{
                                "Share <b>A</b> leaved by <b>u1 (localhost)</b>.",
                                "Share <b>B</b> leaved by <b>u2 (localhost)</b>.",
                                "Share <b>C</b> accessed by <b>u3 (localhost)</b> for <b>00:05:00</b>.",
                                "Share <b>D</b> entered by <b>u4 (localhost)</b>.",
                            }));
}

struct ModeCase {
    int mode;
    int watch_mode;
    std::vector<std::string> alerted_shares; // Enter then Leave, per share
    std::vector<std::string> logged_shares;
};

class DeliveryModes : public Delivery, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(DeliveryModes, ModeAndSourcesDecideAlertsAndLogLines) {
    const ModeCase& c = GetParam();
    configure(c.mode, c.watch_mode);
    enterAndLeave();
    std::vector<std::string> alerted;
    for (const std::string& text : alertTexts())
        alerted.push_back(text.substr(0, text.find("</b>")));
    std::vector<std::string> expected_alerts;
    for (const std::string& share : c.alerted_shares)
        expected_alerts.push_back("Share <b>" + share);
    EXPECT_EQ(alerted, expected_alerts);
    std::vector<std::string> logged;
    for (const std::string& line : logLines(logPath())) {
        const std::string rest = afterTimestamp(line);
        logged.push_back(rest.substr(rest.rfind(" \"") + 2, rest.size() - rest.rfind(" \"") - 3));
    }
    EXPECT_EQ(logged, c.logged_shares);
}

// Public is a selected source, Music is not.
INSTANTIATE_TEST_SUITE_P(
    EveryMode, DeliveryModes,
    ::testing::Values(ModeCase{Inactive, SourcesOnlyLogAll, {}, {}},
                      ModeCase{ShowEvents, SourcesOnly, {"Public", "Public"}, {}},
                      ModeCase{ShowEvents, SourcesOnlyLogAll, {"Public", "Public"}, {}},
                      ModeCase{LogEvents, SourcesOnly, {}, {"Public", "Public"}},
                      ModeCase{LogEvents, SourcesOnlyLogAll, {}, {"Public", "Music", "Public", "Music"}},
                      ModeCase{ShowAndLogEvents, SourcesOnly, {"Public", "Public"}, {"Public", "Public"}},
                      ModeCase{ShowAndLogEvents,
                               SourcesOnlyLogAll,
                               {"Public", "Public"},
                               {"Public", "Music", "Public", "Music"}}),
    [](const ::testing::TestParamInfo<ModeCase>& info) {
        return "Mode" + std::to_string(info.param.mode) + "Watch" + std::to_string(info.param.watch_mode);
    });

TEST_F(Delivery, DisplayFlagOffDropsTheKindButKeepsItsTraceLine) {
    configure(ShowAndLogEvents, SourcesOnlyLogAll, "DisplayLeaveEvents = 0\r\n");
    enterAndLeave();
    EXPECT_EQ(alertTexts().size(), 1u);
    EXPECT_EQ(logLines(logPath()).size(), 2u) << "the Enter of Public and of Music";
    EXPECT_EQ(countTrace("TARNWICK: REM:Public"), 1u);
    EXPECT_EQ(countTrace("TARNWICK: REM:Music"), 1u);
}

TEST_F(Delivery, SourcesMatchExactlyAndWithLetterCase) {
    configure(ShowEvents, SourcesOnly, "",
              "SourcesCount = 2\r\nSourceName1 = public\r\nSourceName2 = Publi\r\n");
    serve({makeSession(1, "Public", "nia", 1, "127.0.0.1")});
    loadAndStart();
    ASSERT_TRUE(hoststub::waitForTrace("TARNWICK: ADD:Public", 1, 10000));
    awaitNextPoll();
    EXPECT_EQ(countTrace("TARNWICK: SOURCE [Public] NOT FOUND!!!"), 1u);
    EXPECT_TRUE(alertTexts().empty());
}

TEST_F(Delivery, EveryTagExpands) {
    configure(ShowEvents, SourcesOnly,
              "EnterEventsMessage = \"$Name$|$Caption$|$ShareName$|$Description$|$ComputerName$|"
              "$ComputerRealName$|$UserName$|$ConnectionID$|$NoOfFiles$|$NoOfUsers$|$ActiveTime$|"
              "$ActiveTimeMin$|$activetime$|$Unknown$\"\r\n");
    ConnectionInfo session = makeSession(4000000000u, "Public", "ivy", 360061, "127.0.0.1");
    session.Name = "N";
    session.Caption = "C $UserName$";
    session.Description = "D $Name$";
    session.NumberOfFiles = 12;
    session.NumberOfUsers = 3;
    serve({session});
    loadAndStart();
    ASSERT_TRUE(hoststub::waitForRequests("systraySetAlert", 1, 10000));
    // A value holding a later tag is expanded in its turn; one holding an earlier tag is not.
    EXPECT_EQ(alertTexts().at(0), "N|C ivy|Public|D $Name$|127.0.0.1|localhost|ivy|4000000000|12|3|100:01:01|"
                                  "6001|$activetime$|$Unknown$");
}

TEST_F(Delivery, AlertEventsFromTheHost) {
    configure(ShowEvents, SourcesOnly);
    serve({makeSession(1, "Public", "jo", 5, "127.0.0.1")});
    loadAndStart();
    ASSERT_TRUE(hoststub::waitForRequests("systraySetAlert", 1, 10000));
    const hoststub::Request alert = hoststub::requestsNamed("systraySetAlert").at(0);
    char address[16];
    std::snprintf(address, sizeof address, "%.8X",
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(alert.alert_user_data)));

    hoststub::clearTrace();
    EXPECT_EQ(hoststub::sendAlertEvent(0, "ALERT_LinkClick"), 0);
    EXPECT_EQ(hoststub::traceLines(),
              (std::vector<std::string>{"TARNWICK: SYSTRAY : [][ALERT_LinkClick] / " + std::string(address),
                                        "TARNWICK: SYSTRAY : alert_linkClick"}));
    // The copy is still there after a click: the alert ends only at its destroy.
    hoststub::clearTrace();
    EXPECT_EQ(hoststub::sendAlertEvent(0, "alert_shown"), 0);
    EXPECT_EQ(hoststub::traceLines().size(), 1u);

    char text[] = "note";
    char event[] = "alert_destroy";
    hoststub::clearTrace();
    EXPECT_EQ(alert.alert_callback(0, text, event, nullptr, nullptr), 0);
    EXPECT_EQ(hoststub::traceLines(),
              (std::vector<std::string>{"TARNWICK: SYSTRAY : [note][alert_destroy] / 00000000",
                                        "TARNWICK: SYSTRAY : no user data!"}));
    EXPECT_EQ(hoststub::destroyAlerts(), 1u);
}

TEST_F(Delivery, HugeAndHostileNamesArriveWholeInAlertsAndCutInTheLog) {
    configure(ShowAndLogEvents, SourcesOnlyLogAll, "", "SourcesCount = 1\r\nSourceName1 = $ShareName$%s\r\n");
    const std::string huge_user(100 * 1024, 'u');
    serve({makeSession(77, "$ShareName$%s", huge_user, 1, "127.0.0.1")});
    loadAndStart();
    ASSERT_TRUE(hoststub::waitForRequests("systraySetAlert", 1, 10000));
    awaitNextPoll();
    EXPECT_EQ(alertTexts().at(0),
              "Share <b>$ShareName$%s</b> entered by <b>" + huge_user + " (localhost)</b>.");
    bool ended = false;
    const auto lines = logLines(logPath(), &ended);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(ended) << "a cut line still ends with its line break";
    EXPECT_EQ(lines[0].size(), 4095u);
    const std::string head = "\"ENTER\" \""; // after the 20 characters of date and time
    EXPECT_EQ(afterTimestamp(lines[0]), head + huge_user.substr(0, 4095 - 20 - head.size()));
}

TEST_F(Delivery, AThousandEventsInOnePollAreAllDelivered) {
    writeIni("[Settings]\r\nPluginMode = 2\r\nLogFile = \"" + logPath() + "\"\r\n");
    std::vector<ConnectionInfo> sessions;
    for (uint32_t id = 1; id <= 1000; ++id)
        sessions.push_back(
            makeSession(id, "Share" + std::to_string(id), "user" + std::to_string(id), id, "127.0.0.1"));
    serve(sessions);
    loadAndStart();
    ASSERT_TRUE(data_.waitForQueryCount(2, 30000));
    serve({});
    // Two polls after the rewrite every Leave has been written too.
    const unsigned long seen = data_.queryCount();
    ASSERT_TRUE(data_.waitForQueryCount(seen + 2, 60000));
    bool ended = false;
    const auto lines = logLines(logPath(), &ended);
    EXPECT_TRUE(ended);
    ASSERT_EQ(lines.size(), 2000u);
    for (uint32_t i = 0; i < 2000; ++i) {
        const uint32_t id = i % 1000 + 1;
        const std::string expected = std::string(i < 1000 ? "\"ENTER\"" : "\"LEAVE\"") + " \"user" +
                                     std::to_string(id) + "\" \"127.0.0.1\" \"localhost\" \"Share" +
                                     std::to_string(id) + "\"";
        ASSERT_EQ(afterTimestamp(lines[i]), expected) << "line " << i;
    }
}

} // namespace
