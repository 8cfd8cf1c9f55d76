// The log viewer's reader over any bytes: parseLogText (what loadLogFile runs on the file's
// blocks) against the reading the viewer has always done, written down step by step: text mode,
// fgets into 4096 bytes, one trailing control character removed, the fields walked character
// by character, lines of seven fields and more grouped into days. The input taken as one line
// also goes through splitLogLine against the same walk.
//
// Input: the first byte is the size of the slices the reader gets the rest in (0: the file's
// block), so that lines, pieces and CR LF pairs fall across slices as across the file's blocks.

#include "fuzz/fuzz_require.h"
#include "ui/log_model.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool isLogSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Between fields, in a bare field, or in a quoted one.
std::vector<std::string> literalFields(const std::string& line) {
    enum class State { Between, Bare, Quoted } state = State::Between;
    std::vector<std::string> fields;
    std::string field;
    for (const char c : line) {
        switch (state) {
        case State::Between:
            if (isLogSpace(c))
                break;
            field.clear();
            if (c == '"') {
                state = State::Quoted;
            } else {
                field += c;
                state = State::Bare;
            }
            break;
        case State::Bare:
            if (isLogSpace(c)) {
                fields.push_back(field);
                state = State::Between;
            } else {
                field += c;
            }
            break;
        case State::Quoted:
            if (c == '"') {
                fields.push_back(field);
                state = State::Between;
            } else {
                field += c;
            }
            break;
        }
    }
    if (state != State::Between && !field.empty())
        fields.push_back(field);
    return fields;
}

// A day as plain texts: its date, then each entry's seven fields (the file's empty but in file events).
struct Day {
    std::string date;
    std::vector<std::vector<std::string>> entries;
};

std::vector<Day> literalDays(const std::string& bytes) {
    // Text mode: CR LF reads as LF, Ctrl-Z ends the file.
    std::string text;
    for (size_t at = 0; at < bytes.size() && bytes[at] != '\x1A'; ++at) {
        if (!(bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n'))
            text += bytes[at];
    }
    std::vector<Day> days;
    size_t at = 0;
    while (at < text.size()) {
        // fgets: up to 4095 characters, through the first LF; the text ends at a NUL.
        std::string piece;
        while (at < text.size() && piece.size() < 4095) {
            piece += text[at++];
            if (piece.back() == '\n')
                break;
        }
        piece = piece.substr(0, piece.find('\0'));
        if (!piece.empty() && static_cast<unsigned char>(piece.back()) < 32)
            piece.pop_back();
        const std::vector<std::string> fields = literalFields(piece);
        if (fields.size() < 7)
            continue;
        if (days.empty() || days.back().date != fields[0])
            days.push_back(Day{fields[0], {}});
        std::vector<std::string>& entry =
            days.back().entries.emplace_back(fields.begin() + 1, fields.begin() + 7);
        entry.push_back(fields.size() > 7 ? fields[7] : std::string()); // a file event's path
    }
    return days;
}

bool sameDays(const LogBook& book, const std::vector<Day>& b) {
    const std::vector<LogDay>& a = book.Days;
    if (a.size() != b.size())
        return false;
    for (size_t d = 0; d < a.size(); ++d) {
        if (logDayDate(book, a[d]) != b[d].date || a[d].Entries.size() != b[d].entries.size())
            return false;
        for (size_t e = 0; e < a[d].Entries.size(); ++e) {
            for (int column = 0; column < kLogColumnCount; ++column) {
                if (logEntryField(book, a[d].Entries[e], column) != b[d].entries[e][column])
                    return false;
            }
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return -1;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    require(splitLogLine(bytes) == literalFields(bytes), "splitLogLine is not the field walk");

    LogBook book;
    parseLogText("left from the last load 1 2 3 4 5\n", book);
    parseLogText(bytes, book, data[0]);
    require(sameDays(book, literalDays(bytes)), "parseLogText is not the viewer's reading");
    return 0;
}
