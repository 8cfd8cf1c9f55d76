#pragma once
// The real DLL polling the fake WMI provider: a data file per test, sessions
// written to it, and waits on the fake's query count instead of sleeps.

#include "fakewmi/fakewmi_client.h"
#include "plugin_fixture.h"

#include <regex>
#include <string>
#include <vector>

inline ConnectionInfo makeSession(uint32_t id, const std::string& share, const std::string& user,
                                  uint32_t active_time, const std::string& computer = "10.1.2.3") {
    ConnectionInfo session;
    session.ConnectionID = id;
    session.ShareName = share;
    session.UserName = user;
    session.ComputerName = computer;
    session.ActiveTime = active_time;
    session.Name = "session" + std::to_string(id);
    session.Caption = "caption" + std::to_string(id);
    session.Description = "description" + std::to_string(id);
    session.NumberOfFiles = 1;
    session.NumberOfUsers = 1;
    return session;
}

// The log's lines without their CR LF; each must end with one.
inline std::vector<std::string> logLines(const std::string& path, bool* every_line_ended = nullptr) {
    const std::string text = PluginTest::readFile(path);
    std::vector<std::string> lines;
    size_t start = 0;
    bool ended = true;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            ended = false;
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    if (every_line_ended != nullptr)
        *every_line_ended = ended;
    return lines;
}

// The part of a log line after its date and time, checked to be of the right form.
inline std::string afterTimestamp(const std::string& line) {
    static const std::regex stamp(R"(^(\d\d)/(\d\d)/(\d{4}) (\d\d):(\d\d):(\d\d) )");
    std::smatch match;
    if (!std::regex_search(line, match, stamp))
        return "<no timestamp: " + line + ">";
    return line.substr(match.length(0));
}

class SessionTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        ASSERT_TRUE(data_.valid());
        ASSERT_TRUE(data_.write(""));
    }

    void TearDown() override {
        if (HasFailure()) {
            const auto calls = data_.callLog();
            const size_t from = calls.size() > 20 ? calls.size() - 20 : 0;
            std::printf("  fake WMI: %lu queries; last calls:\n", data_.queryCount());
            for (size_t i = from; i < calls.size(); ++i)
                std::printf("    %.200s\n", calls[i].c_str());
        }
        PluginTest::TearDown();
    }

    // Writes the sessions (and extra lines, such as a failure) for the next polls.
    void serve(const std::vector<ConnectionInfo>& sessions, const std::string& extra = "") {
        std::string text = extra;
        for (const ConnectionInfo& session : sessions)
            text += fakewmi::sessionRow(session);
        ASSERT_TRUE(data_.write(text));
    }

    // Returns once a poll that certainly saw the current file has finished.
    void awaitNextPoll() {
        const unsigned long seen = data_.queryCount();
        ASSERT_TRUE(data_.waitForQueryCount(seen + 2)) << "the watcher stopped polling";
    }

    // tarnwick.ini with the trace on, the log in the home folder and the given extra lines.
    void writeSettings(const std::string& settings_lines, const std::string& sources_lines = "") {
        writeIni("[Settings]\r\nDebugMode = 1\r\nLogFile = \"" + logPath() + "\"\r\n" + settings_lines +
                 "[Sources]\r\n" + sources_lines);
    }

    std::string logPath() const { return home_ + "\\events.log"; }

    void loadAndStart() {
        ASSERT_EQ(hoststub::sendLoad(home_.c_str()), 0);
        ASSERT_EQ(hoststub::sendSimple("start"), 0);
    }

    static size_t countTrace(const std::string& line) {
        size_t count = 0;
        for (const std::string& seen : hoststub::traceLines())
            count += seen == line ? 1 : 0;
        return count;
    }

    static size_t countTraceContaining(const std::string& fragment) {
        size_t count = 0;
        for (const std::string& seen : hoststub::traceLines())
            count += seen.find(fragment) != std::string::npos ? 1 : 0;
        return count;
    }

    // The trace lines that contain `fragment`, in order.
    static std::vector<std::string> traceContaining(const std::string& fragment) {
        std::vector<std::string> found;
        for (const std::string& seen : hoststub::traceLines()) {
            if (seen.find(fragment) != std::string::npos)
                found.push_back(seen);
        }
        return found;
    }

    fakewmi::DataFile data_;
};
