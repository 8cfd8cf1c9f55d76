#include "events/event_log.h"

#include "base/abandonable_mutex.h"
#include "base/trace.h"

#include <cstdio>
#include <mutex>

namespace {

// Held across reading the path, opening, writing and closing, so a line goes
// wholly to the old file or wholly to the new one when the path changes. A
// watcher thread ended by force while writing must not keep it.
AbandonableMutex& logMutex() {
    static AbandonableMutex mutex;
    return mutex;
}

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
    case EventKind::FileOpened:
        return "OPEN";
    case EventKind::FileClosed:
        return "CLOSE";
    default:
        return nullptr;
    }
}

} // namespace

void setLogPath(const char* path) {
    std::string next = path ? path : "";
    std::lock_guard<AbandonableMutex> hold(logMutex());
    logPath().swap(next);
}

std::string currentLogPath() {
    std::lock_guard<AbandonableMutex> hold(logMutex());
    return logPath();
}

std::string formatLogLine(const LocalDateTime& when, const char* event_word, const ConnectionInfo& connection,
                          const std::string& host_name, const char* path) {
    char buffer[kLogLineLimit + 1];
    const int length = std::snprintf(
        buffer, sizeof buffer, "%.2d/%.2d/%.4d %.2d:%.2d:%.2d \"%s\" \"%s\" \"%s\" \"%s\" \"%s\"%s%s%s\n",
        when.day, when.month, when.year, when.hour, when.minute, when.second, event_word ? event_word : "",
        connection.UserName.c_str(), connection.ComputerName.c_str(), host_name.c_str(),
        connection.ShareName.c_str(), path ? " \"" : "", path ? path : "", path ? "\"" : "");
    if (length < 0)
        return std::string();
    cutToLineLimit(buffer, length);
    return buffer;
}

void appendLine(const char* line) {
    if (line == nullptr)
        return;
    constexpr size_t kLimit = kLogLineLimit;
    size_t length = 0;
    while (length <= kLimit && line[length] != '\0')
        ++length;
    std::string text(line, length);
    if (length > kLimit) {
        text.resize(kLimit - 1);
        text += '\n';
    }
    appendLines(text);
}

void appendLines(const std::string& lines) {
    bool opened = false;
    {
        std::lock_guard<AbandonableMutex> hold(logMutex());
        opened = platformAppendText(logPath().c_str(), lines.data(), lines.size());
    }
    if (!opened)
        DebugTrace("%s: error writing log file!", TRACE_TAG);
}

void writeEvent(const ShareEvent& event, NameWait wait, std::string* batch) {
    const char* word = eventWord(event.Kind);
    if (word == nullptr)
        return;
    LocalDateTime now;
    platformLocalTime(now);
    const std::string host_name = resolveComputerName(event.Connection.ComputerName, wait);
    const bool file = event.Kind == EventKind::FileOpened || event.Kind == EventKind::FileClosed;
    const std::string line =
        formatLogLine(now, word, event.Connection, host_name, file ? event.FileName.c_str() : nullptr);
    if (batch != nullptr)
        *batch += line;
    else
        appendLine(line.c_str());
}

void writeAction(const char* action_word, const ConnectionInfo& connection, const std::string& host_name,
                 const char* path) {
    LocalDateTime now;
    platformLocalTime(now);
    appendLine(formatLogLine(now, action_word, connection, host_name, path).c_str());
}
