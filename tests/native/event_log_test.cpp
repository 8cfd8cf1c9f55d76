#include "base/trace.h"
#include "event_log_support.h"
#include "events/event_log.h"
#include "support/debug_output_capture.h"
#include "support/fixed_clock.h"
#include "support/name_service_stub.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

ShareEvent makeEvent(EventKind kind, const std::string& user, const std::string& computer,
                     const std::string& share) {
    ShareEvent event;
    event.Kind = kind;
    event.Connection.UserName = user;
    event.Connection.ComputerName = computer;
    event.Connection.ShareName = share;
    return event;
}

class EventLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.valid());
        log_ = folder_.file("events.txt");
        setLogPath(log_.c_str());
        setFixedLocalTime(seventhOfMarch());
        resetNameService();
        clearCapturedTrace();
        set_debug_trace(true);
    }
    void TearDown() override {
        set_debug_trace(false);
        resetNameService();
        clearFixedLocalTime();
        setLogPath("tarnwicklog.txt");
    }

    TempFolder folder_;
    std::string log_;
};

TEST_F(EventLogTest, EnterAndLeaveLinesCarryLocalTimeAndSevenFields) {
    setNameServiceEntry("10.0.0.1", "alice-pc");
    writeEvent(makeEvent(EventKind::Enter, "alice", "10.0.0.1", "Public"));
    LocalDateTime later = seventhOfMarch();
    later.day = 28;
    later.month = 12;
    later.hour = 23;
    later.minute = 59;
    later.second = 0;
    setFixedLocalTime(later);
    writeEvent(makeEvent(EventKind::Leave, "alice", "10.0.0.1", "Public"));

    EXPECT_EQ(readWholeFile(log_),
              "07/03/2026 09:05:03 \"ENTER\" \"alice\" \"10.0.0.1\" \"alice-pc\" \"Public\"\n"
              "28/12/2026 23:59:00 \"LEAVE\" \"alice\" \"10.0.0.1\" \"alice-pc\" \"Public\"\n");
    const std::vector<std::string> expected_trace = {"TARNWICK: resolving [10.0.0.1] = [alice-pc]",
                                                     "TARNWICK: resolving [10.0.0.1] = [alice-pc]"};
    EXPECT_EQ(capturedTraceLines(), expected_trace);
}

TEST_F(EventLogTest, UnresolvedAddressFillsBothComputerFields) {
    writeEvent(makeEvent(EventKind::Enter, "bob", "192.168.7.7", "Data"));
    EXPECT_EQ(readWholeFile(log_),
              "07/03/2026 09:05:03 \"ENTER\" \"bob\" \"192.168.7.7\" \"192.168.7.7\" \"Data\"\n");
    ASSERT_EQ(capturedTraceLines().size(), 1u);
    EXPECT_EQ(capturedTraceLines()[0], "TARNWICK: resolving [192.168.7.7] = ERROR (11004)");
}

TEST_F(EventLogTest, FieldTextsAreWrittenExactlyWithoutEscaping) {
    writeEvent(makeEvent(EventKind::Enter, "John \"JJ\" Smith", "10.0.0.2", "My Documents %s"));
    writeEvent(makeEvent(EventKind::Leave, "", "", ""));
    const std::vector<std::string> expected = {
        "07/03/2026 09:05:03 \"ENTER\" \"John \"JJ\" Smith\" \"10.0.0.2\" \"10.0.0.2\" \"My Documents %s\"\n",
        "07/03/2026 09:05:03 \"LEAVE\" \"\" \"\" \"\" \"\"\n",
    };
    EXPECT_EQ(readLines(log_), expected);
}

TEST_F(EventLogTest, FileAndActionLinesCarryTheFileAsASixthField) {
    setNameServiceEntry("10.0.0.1", "alice-pc");
    ShareEvent opened = makeEvent(EventKind::FileOpened, "alice", "10.0.0.1", "Public");
    opened.FileName = "dir\\a b.txt";
    opened.FilePath = "C:\\Public\\dir\\a b.txt";
    writeEvent(opened);
    opened.Kind = EventKind::FileClosed;
    writeEvent(opened);
    writeAction("CLOSE-FILE", opened.Connection, "alice-pc", "dir\\a b.txt");
    writeAction("DISCONNECT", opened.Connection, "alice-pc", nullptr);
    const std::vector<std::string> expected = {
        "07/03/2026 09:05:03 \"OPEN\" \"alice\" \"10.0.0.1\" \"alice-pc\" \"Public\" \"dir\\a b.txt\"\n",
        "07/03/2026 09:05:03 \"CLOSE\" \"alice\" \"10.0.0.1\" \"alice-pc\" \"Public\" \"dir\\a b.txt\"\n",
        "07/03/2026 09:05:03 \"CLOSE-FILE\" \"alice\" \"10.0.0.1\" \"alice-pc\" \"Public\" \"dir\\a "
        "b.txt\"\n",
        "07/03/2026 09:05:03 \"DISCONNECT\" \"alice\" \"10.0.0.1\" \"alice-pc\" \"Public\"\n",
    };
    EXPECT_EQ(readLines(log_), expected);
    EXPECT_EQ(nameServiceQueryCount(), 1)
        << "the cache names the second line; an action's host name comes with it";
}

TEST_F(EventLogTest, PresenceHasNoLine) {
    writeEvent(makeEvent(EventKind::Presence, "carol", "10.0.0.3", "Public"));
    EXPECT_FALSE(std::filesystem::exists(log_));
    EXPECT_EQ(nameServiceQueryCount(), 0);
}

TEST_F(EventLogTest, LongLinesAreCutButKeepTheirLineBreak) {
    const ConnectionInfo base = makeEvent(EventKind::Enter, "u", "c", "").Connection;
    const std::string empty_share_line = formatLogLine(seventhOfMarch(), "ENTER", base, "h");
    // Grow the share name so the whole line (line break included) is exactly at the limit.
    const std::size_t fill = kLogLineLimit - empty_share_line.size();
    ConnectionInfo at_limit = base;
    at_limit.ShareName = std::string(fill, 's');
    const std::string whole = formatLogLine(seventhOfMarch(), "ENTER", at_limit, "h");
    ASSERT_EQ(whole.size(), static_cast<std::size_t>(kLogLineLimit));
    EXPECT_EQ(whole.substr(whole.size() - 3), "s\"\n");

    for (const std::size_t extra : {std::size_t{1}, std::size_t{2}, std::size_t{100 * 1024}}) {
        ConnectionInfo over = base;
        over.ShareName = std::string(fill + extra, 's');
        const std::string cut = formatLogLine(seventhOfMarch(), "ENTER", over, "h");
        ASSERT_EQ(cut.size(), static_cast<std::size_t>(kLogLineLimit)) << extra;
        // The share name runs on where the closing quote stood; only the line break comes back.
        const std::string expected = whole.substr(0, kLogLineLimit - 2) + "s\n";
        EXPECT_TRUE(cut == expected) << extra;
    }
}

TEST_F(EventLogTest, CutLineInTheFileIsFollowedByTheNextLine) {
    writeEvent(makeEvent(EventKind::Enter, std::string(100 * 1024, 'u'), "10.0.0.4", "Public"));
    writeEvent(makeEvent(EventKind::Leave, "dave", "10.0.0.4", "Public"));
    const std::vector<std::string> lines = readLines(log_);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), static_cast<std::size_t>(kLogLineLimit));
    EXPECT_EQ(lines[0].substr(0, 36), "07/03/2026 09:05:03 \"ENTER\" \"uuuuuuu");
    EXPECT_EQ(lines[0].substr(kLogLineLimit - 3), "uu\n");
    EXPECT_EQ(lines[1], "07/03/2026 09:05:03 \"LEAVE\" \"dave\" \"10.0.0.4\" \"10.0.0.4\" \"Public\"\n");
}

TEST_F(EventLogTest, AppendLineWritesTextAsGivenWithinTheLimit) {
    appendLine("no line break");
    appendLine("\n");
    appendLine(nullptr);
    appendLine("");
    const std::string at_limit = std::string(kLogLineLimit - 1, 'a') + "\n";
    appendLine(at_limit.c_str());
    const std::string unbroken(kLogLineLimit, 'b');
    appendLine(unbroken.c_str());
    const std::string over = std::string(kLogLineLimit + 10, 'c') + "\n";
    appendLine(over.c_str());

    const std::string expected = "no line break\n" + at_limit + std::string(kLogLineLimit, 'b') +
                                 std::string(kLogLineLimit - 1, 'c') + "\n";
    EXPECT_EQ(readWholeFile(log_), expected);
    EXPECT_TRUE(capturedTraceLines().empty());
}

TEST_F(EventLogTest, MissingDirectoryLosesTheLineWithATraceLine) {
    const std::string missing = folder_.file("no-such-dir") + "/events.txt";
    setLogPath(missing.c_str());
    writeEvent(makeEvent(EventKind::Enter, "erin", "10.0.0.5", "Public"));
    writeEvent(makeEvent(EventKind::Leave, "erin", "10.0.0.5", "Public"));
    const std::vector<std::string> expected_trace = {
        "TARNWICK: resolving [10.0.0.5] = ERROR (11004)",
        "TARNWICK: error writing log file!",
        "TARNWICK: resolving [10.0.0.5] = ERROR (11004)",
        "TARNWICK: error writing log file!",
    };
    EXPECT_EQ(capturedTraceLines(), expected_trace);
    EXPECT_FALSE(std::filesystem::exists(folder_.file("no-such-dir")));

    // Each line tries again: once the path works, lines arrive.
    setLogPath(log_.c_str());
    writeEvent(makeEvent(EventKind::Enter, "erin", "10.0.0.5", "Public"));
    EXPECT_EQ(readLines(log_).size(), 1u);
}

TEST_F(EventLogTest, DeletedFileIsCreatedAnewWithoutEarlierLines) {
    writeEvent(makeEvent(EventKind::Enter, "fay", "10.0.0.6", "A"));
    writeEvent(makeEvent(EventKind::Leave, "fay", "10.0.0.6", "A"));
    ASSERT_EQ(readLines(log_).size(), 2u);
    std::filesystem::remove(log_);
    writeEvent(makeEvent(EventKind::Enter, "gus", "10.0.0.6", "B"));
    const std::vector<std::string> expected = {
        "07/03/2026 09:05:03 \"ENTER\" \"gus\" \"10.0.0.6\" \"10.0.0.6\" \"B\"\n"};
    EXPECT_EQ(readLines(log_), expected);
}

TEST_F(EventLogTest, NewPathTakesLaterLinesAndOldFileKeepsItsOwn) {
    const std::string second = folder_.file("second.txt");
    writeEvent(makeEvent(EventKind::Enter, "hal", "10.0.0.8", "Old"));
    setLogPath(second.c_str());
    EXPECT_EQ(currentLogPath(), second);
    writeEvent(makeEvent(EventKind::Leave, "hal", "10.0.0.8", "New"));

    const std::vector<std::string> old_lines = readLines(log_);
    const std::vector<std::string> new_lines = readLines(second);
    ASSERT_EQ(old_lines.size(), 1u);
    ASSERT_EQ(new_lines.size(), 1u);
    EXPECT_NE(old_lines[0].find("\"ENTER\" \"hal\""), std::string::npos);
    EXPECT_NE(new_lines[0].find("\"LEAVE\" \"hal\""), std::string::npos);

    // The path is kept as a copy of the caller's text.
    std::string caller_text = log_;
    setLogPath(caller_text.c_str());
    caller_text.assign("changed");
    EXPECT_EQ(currentLogPath(), log_);
}

TEST_F(EventLogTest, PathSwitchesNeverSplitOrLoseConcurrentLines) {
    const std::string first = folder_.file("first.txt");
    const std::string second = folder_.file("second.txt");
    setLogPath(first.c_str());
    constexpr int kLines = 1000;
    const std::string padding(300, 'x');
    std::atomic<bool> writing{true};
    std::atomic<int> switches{0};

    std::thread switcher([&] {
        while (writing.load()) {
            setLogPath((switches.load() % 2 == 0 ? second : first).c_str());
            switches.fetch_add(1);
            std::this_thread::yield();
        }
    });
    std::thread writer([&] {
        char line[512];
        for (int i = 0; i < kLines; ++i) {
            // Halfway, make sure the path has moved both ways at least once.
            while (i == kLines / 2 && switches.load() < 2)
                std::this_thread::yield();
            std::snprintf(line, sizeof line, "line %04d %s end\n", i, padding.c_str());
            appendLine(line);
        }
        writing.store(false);
    });
    writer.join();
    switcher.join();

    std::vector<int> seen;
    for (const std::string& path : {first, second}) {
        int previous = -1;
        // Which file a line lands in depends on the scheduler; a loaded machine may
        // put every line into one of them, which is still a correct outcome.
        const std::vector<std::string> lines = readLines(path);
        for (const std::string& line : lines) {
            int number = -1;
            char tail[512] = {};
            ASSERT_EQ(std::sscanf(line.c_str(), "line %4d %511s", &number, tail), 2) << line;
            EXPECT_EQ(line, "line " + std::string(line.substr(5, 4)) + " " + padding + " end\n");
            EXPECT_GT(number, previous) << path; // each file keeps the writing order
            previous = number;
            seen.push_back(number);
        }
    }
    EXPECT_GE(switches.load(), 2);
    std::sort(seen.begin(), seen.end());
    ASSERT_EQ(seen.size(), static_cast<std::size_t>(kLines));
    for (int i = 0; i < kLines; ++i)
        EXPECT_EQ(seen[i], i);
}

} // namespace
