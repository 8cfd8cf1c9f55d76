#include "events/event_log.h"

#include "base/trace.h"
#include "events/message_template.h"

#include <cstdio>
#include <mutex>

namespace {

// Held across reading the path, opening, writing and closing, so a line goes
// wholly to the old file or wholly to the new one when the path changes.
std::mutex log_mutex;

std::string& logPath() {
    static std::string path = "tarnwicklog.txt";
    return path;
}

// Bounds a formatted text the way a line is bounded: a text longer than the limit
// keeps its first kLogLineLimit - 1 characters and gets its line break back.
void cutToLineLimit(char (&buffer)[kLogLineLimit + 1], int formatted_length) {
    if (formatted_length > kLogLineLimit)
        buffer[kLogLineLimit - 1] = '\n';
    buffer[kLogLineLimit] = '\0';
}

const char* eventWord(EventKind kind) {
    switch (kind) {
    case EventKind::Enter:
        return "ENTER";
    case EventKind::Leave:
        return "LEAVE";
    default:
        return nullptr;
    }
}

} // namespace

void setLogPath(const char* path) {
    std::string next = path ? path : "";
    std::lock_guard<std::mutex> hold(log_mutex);
    logPath().swap(next);
}

std::string currentLogPath() {
    std::lock_guard<std::mutex> hold(log_mutex);
    return logPath();
}

std::string formatLogLine(const LocalDateTime& when, const char* event_word, const ConnectionInfo& connection,
                          const std::string& host_name) {
    char buffer[kLogLineLimit + 1];
    const int length = std::snprintf(
        buffer, sizeof buffer, "%.2d/%.2d/%.4d %.2d:%.2d:%.2d \"%s\" \"%s\" \"%s\" \"%s\" \"%s\"\n", when.day,
        when.month, when.year, when.hour, when.minute, when.second, event_word ? event_word : "",
        connection.UserName.c_str(), connection.ComputerName.c_str(), host_name.c_str(),
        connection.ShareName.c_str());
    if (length < 0)
        return std::string();
    cutToLineLimit(buffer, length);
    return buffer;
}

void appendLine(const char* line) {
    if (line == nullptr)
        return;
    int length = 0;
    while (length <= kLogLineLimit && line[length] != '\0')
        ++length;
    bool opened = false;
    {
        std::lock_guard<std::mutex> hold(log_mutex);
        std::FILE* file = std::fopen(logPath().c_str(), "a+");
        if (file != nullptr) {
            opened = true;
            if (length > kLogLineLimit)
                std::fprintf(file, "%.*s\n", kLogLineLimit - 1, line);
            else
                std::fprintf(file, "%s", line);
            std::fclose(file);
        }
    }
    if (!opened)
        DebugTrace("%s: error writing log file!", TRACE_TAG);
}

void writeEvent(const ShareEvent& event) {
    const char* word = eventWord(event.Kind);
    if (word == nullptr)
        return;
    LocalDateTime now;
    platformLocalTime(now);
    const std::string host_name = resolveComputerName(event.Connection.ComputerName);
    appendLine(formatLogLine(now, word, event.Connection, host_name).c_str());
}
