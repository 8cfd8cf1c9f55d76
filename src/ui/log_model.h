#pragma once
// The log viewer's model: the event log file read back into days of entries, and the order of
// each day's entries after a click on a column header. The dialog only shows what this holds.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The list's columns: Time, Event, User, Computer IP, Computer Name, Share Name, File.
constexpr int kLogColumnCount = 7;

// One accepted log line: its fields 2 to 8 (the eighth, a file event's path, empty when absent), in line
// order, one after another in its book's Text (logEntryField reads them). A field is at most 4095 characters,
// the longest piece of a line.
struct LogEntry {
    std::size_t Start = 0;
    std::uint16_t Lengths[kLogColumnCount] = {};
};

// A run of consecutive accepted lines with the same first field; the date is not interpreted
// (logDayDate reads it from the book's Text).
struct LogDay {
    std::size_t DateStart = 0;
    std::uint16_t DateLength = 0;
    std::vector<LogEntry> Entries; // in file order until sorted
};

// Everything the viewer shows. The shell keeps one for the life of the library: the sort state
// outlives the dialog; the days are released when it closes. Each text is held once, in
// Text: a big log takes little more than its file's size.
struct LogBook {
    std::string Text;         // the days' dates and the entries' fields
    std::vector<LogDay> Days; // in file order
    int LogSortColumn = -1;   // -1 for none, else a column 0 to 6
    bool LogSortAscending = true;
};

// The fields of one line: white space separates them, double quotes enclose a field that may be
// empty or hold white space, and there is no escape. A quoted field still open at the end of the
// line is kept unless empty.
std::vector<std::string> splitLogLine(std::string_view line);

// The block loadLogFile reads the file in.
constexpr std::size_t kLogReadBlock = std::size_t{1} << 16;

// Replaces the days by those of a log file's contents, read as the file's lines (CR LF as a line
// break, Ctrl-Z as its end, a line over 4095 characters in pieces of that length). Lines with
// fewer than seven fields are skipped, an eighth is a file's path, and any after it are ignored; a new day
// starts whenever the first field changes. The text is taken in slices of `slice` bytes (0: kLogReadBlock),
// as the file's blocks come; the days are the same whatever the slices.
void parseLogText(std::string_view text, LogBook& book, std::size_t slice = kLogReadBlock);

// parseLogText on the file's contents, read into new days that replace the book's only once the
// whole file is read. A file that cannot be opened or read to its end, or does not fit in
// memory, leaves the days as they were and gives false, with why in one line in `why`.
bool loadLogFile(const std::string& path, LogBook& book, std::string* why = nullptr);

// Gives back the memory of the text and the days; the sort state stays.
void releaseLogDays(LogBook& book);

// A click on column 0 to 6: the same column again flips the direction, another one sorts it
// ascending. Then each day's entries are sorted on their own by that field, letter case ignored
// as _stricmp does; entries with equal keys end where the exchange sort leaves them, which is
// not a stable order. Other columns change nothing.
void sortLog(int column, LogBook& book);

// The entry's text in list column 0 to 6 (an empty text for any other), and the day's date: views
// of the book's Text, good until the next load.
std::string_view logEntryField(const LogBook& book, const LogEntry& entry, int column);
std::string_view logDayDate(const LogBook& book, const LogDay& day);

// The row image of an entry's event word: 0 for "ENTER", 1 for "LEAVE", 4 for the words of files
// and actions ("OPEN", "CLOSE", "CLOSE-FILE", "DISCONNECT"), in any letter case; -1 for none.
constexpr int kLogFileImage = 4;
int logRowImage(std::string_view event);
