#pragma once
// The user-facing event log: one line per logged Enter or Leave event, appended
// to a plain text file that is opened and closed for every line.

#include "events/host_names.h"
#include "monitor/share_event.h"

#include <string>

// Longest formatted line, its line break included.
constexpr int kLogLineLimit = 4096;

struct LocalDateTime {
    int day = 1;
    int month = 1;
    int year = 1970;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Replaces the path that lines are appended to. Never overlaps a line being written.
void setLogPath(const char* path);
std::string currentLogPath();

// Appends the line of an Enter, Leave, FileOpened ("OPEN") or FileClosed
// ("CLOSE") event, stamped with the local time now, its host name got as `wait`
// says. Presence has no line. With `batch`, the line is added to it instead, for
// appendLines.
void writeEvent(const ShareEvent& event, NameWait wait = NameWait::LookUp, std::string* batch = nullptr);

// Appends lines as formatLogLine makes them, all in one opening of the file.
void appendLines(const std::string& lines);

// Appends the line of an action taken on a session ("CLOSE-FILE", "DISCONNECT"),
// stamped with the local time now; `host_name` as already resolved, `path` the
// file's within the share (none for a disconnect).
void writeAction(const char* action_word, const ConnectionInfo& connection, const std::string& host_name,
                 const char* path);

// Opens the file at the path, appends the line and closes the file. A line over
// kLogLineLimit characters is cut to its first kLogLineLimit - 1 and a line break.
// A file that cannot be opened loses the line and leaves only a trace line.
void appendLine(const char* line);

// The line of one event: date, time, "ENTER"/"LEAVE", user, address, host name,
// share, and for a file a sixth field, its path within the share. Cut like
// appendLine, so a cut line still ends with its line break.
std::string formatLogLine(const LocalDateTime& when, const char* event_word, const ConnectionInfo& connection,
                          const std::string& host_name, const char* path = nullptr);

// Platform seam: opens the file at the path for appending in text mode (created
// when missing), writes the text and closes the file; false when it cannot be
// opened. The DLL calls the system directly rather than the C library, so that a
// watcher thread ended by force inside a slow write holds none of the library's
// locks, which the host's own thread may need next. A file in the C library's
// text mode natively.
bool platformAppendText(const char* path, const char* text, size_t length);

// Platform seam: the local date and time now. GetLocalTime in the DLL; the
// system clock (or a clock fixed by a test) natively.
void platformLocalTime(LocalDateTime& now);
