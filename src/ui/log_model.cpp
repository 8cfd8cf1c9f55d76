#include "ui/log_model.h"
#include "base/ascii_case.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numeric>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// The viewer has always read the file with fgets into 4096 bytes: a line longer than this comes
// in pieces, each taken as a line of its own.
constexpr std::size_t kLogPieceMax = 4095;
constexpr int kFieldsPerLine = 8;
constexpr int kFieldsRequired = 7; // a file event's line has its path as the eighth

// Space, tab, line feed, vertical tab, form feed, carriage return; never a byte above 127.
bool isLogSpace(char c) {
    return c == ' ' || static_cast<unsigned char>(c - '\t') <= '\r' - '\t';
}

// Walks the line's fields in order, handing each to take until take answers false. With no
// escapes every field is a run of the line's own bytes, so no field is copied here.
template <typename Take> void forEachLogField(std::string_view line, Take take) {
    const char* p = line.data();
    const char* const end = p + line.size();
    while (p < end) {
        if (isLogSpace(*p)) {
            ++p;
        } else if (*p == '"') {
            const char* const start = p + 1;
            const auto* close = static_cast<const char*>(std::memchr(start, '"', end - start));
            if (close == nullptr) {
                if (start < end)
                    take(std::string_view(start, end - start));
                return;
            }
            if (!take(std::string_view(start, close - start)))
                return;
            p = close + 1;
        } else {
            // A bare field: a double quote inside it is an ordinary character.
            const char* const start = p;
            while (p < end && !isLogSpace(*p))
                ++p;
            if (!take(std::string_view(start, p - start)))
                return;
        }
    }
}

// Turns the file's bytes into days. The bytes are read as Windows' text mode delivers them, on
// every platform alike: CR LF becomes LF, a lone CR stays, and Ctrl-Z ends the file. So the
// pieces of long lines and the entries are the same in the DLL and in the native build. A CR LF
// can only end a line, so the lines are taken straight from the bytes; only a line that runs
// past the end of a slice is copied.
class LogTextReader {
public:
    // `size`: about how many bytes will come, so that the text is made once.
    LogTextReader(LogBook& book, std::size_t size) : book_(book) {
        std::string text;
        text.reserve(size);
        book_.Text.swap(text);
        book_.Days.clear();
    }

    // The next bytes of the file, in any slices.
    void feed(std::string_view bytes) {
        if (ended_)
            return;
        if (const void* eof = std::memchr(bytes.data(), '\x1A', bytes.size())) {
            bytes = bytes.substr(0, static_cast<const char*>(eof) - bytes.data());
            ended_ = true;
        }
        if (!carry_.empty()) {
            const void* lf = std::memchr(bytes.data(), '\n', bytes.size());
            if (lf == nullptr) {
                carry_.append(bytes);
                takeWholePieces(carry_);
                return;
            }
            const std::size_t length = static_cast<const char*>(lf) - bytes.data() + 1;
            carry_.append(bytes.substr(0, length));
            takeLine(carry_);
            carry_.clear();
            bytes.remove_prefix(length);
        }
        const char* p = bytes.data();
        const char* const end = p + bytes.size();
        while (p < end) {
            const auto* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
            if (lf == nullptr) {
                carry_.assign(p, end - p);
                takeWholePieces(carry_);
                return;
            }
            takeLine(std::string_view(p, lf + 1 - p));
            p = lf + 1;
        }
    }

    // The file has ended: a last line without a line break is still read.
    void finish() {
        std::string_view rest = carry_;
        while (rest.size() > kLogPieceMax) {
            takePiece(rest.substr(0, kLogPieceMax), false);
            rest.remove_prefix(kLogPieceMax);
        }
        if (!rest.empty())
            takePiece(rest, false);
        carry_.clear();
        if (!book_.Days.empty())
            book_.Days.back().Entries.shrink_to_fit();
    }

private:
    // A line through its LF, in the pieces fgets would return: 4095 characters each, the line
    // break (LF, from CR LF or alone) counted as one, then the rest with the line break.
    void takeLine(std::string_view line) {
        const std::size_t brk = line.size() >= 2 && line[line.size() - 2] == '\r' ? 2 : 1;
        while (line.size() - brk + 1 > kLogPieceMax) {
            takePiece(line.substr(0, kLogPieceMax), false);
            line.remove_prefix(kLogPieceMax);
        }
        takePiece(line.substr(0, line.size() - brk), true);
    }

    // The pieces of an unfinished line that no later byte can change: while more than 4095
    // bytes wait, the first 4095 hold no part of a CR LF.
    void takeWholePieces(std::string& pending) {
        std::size_t taken = 0;
        while (pending.size() - taken > kLogPieceMax) {
            takePiece(std::string_view(pending).substr(taken, kLogPieceMax), false);
            taken += kLogPieceMax;
        }
        pending.erase(0, taken);
    }

    // One piece: its text, and whether the line break followed it.
    void takePiece(std::string_view text, bool with_break) {
        // The line was a C string: a NUL byte ends it.
        if (const void* nul = std::memchr(text.data(), '\0', text.size())) {
            text = text.substr(0, static_cast<const char*>(nul) - text.data());
            with_break = false;
        }
        // One trailing control character goes: the line break, or whatever else ends the text.
        if (!with_break && !text.empty() && static_cast<unsigned char>(text.back()) < 32)
            text.remove_suffix(1);

        std::string_view fields[kFieldsPerLine];
        int count = 0;
        forEachLogField(text, [&fields, &count](std::string_view field) {
            fields[count++] = field;
            return count < kFieldsPerLine;
        });
        if (count < kFieldsRequired)
            return;

        std::vector<LogDay>& days = book_.Days;
        std::string& kept = book_.Text;
        if (days.empty() || logDayDate(book_, days.back()) != fields[0]) {
            // The day before is complete: it gives back the room its entries did not take.
            if (!days.empty())
                days.back().Entries.shrink_to_fit();
            LogDay& day = days.emplace_back();
            day.DateStart = kept.size();
            day.DateLength = static_cast<std::uint16_t>(fields[0].size());
            kept.append(fields[0]);
        }
        LogEntry& entry = days.back().Entries.emplace_back();
        entry.Start = kept.size();
        for (int column = 0; column < kLogColumnCount; ++column) {
            entry.Lengths[column] = static_cast<std::uint16_t>(fields[column + 1].size());
            kept.append(fields[column + 1]);
        }
    }

    LogBook& book_;
    std::string carry_;  // the start of a line that the next slice goes on with
    bool ended_ = false; // Ctrl-Z was read
};

// Buffers reused from day to day while sorting.
struct SortScratch {
    std::string folded_text;
    std::vector<std::string_view> folded;
    std::vector<uint32_t> order;
    std::vector<uint32_t> rank;
    std::vector<uint32_t> settled;
    std::vector<LogEntry> sorted;
};

// The exchange sort itself, on the keys' ranks: integer compares and swaps in place of string
// work. For each position, every later one that holds a smaller rank swaps in. Position i ends
// with the smallest rank still to place, settled[i] (the ranks in ascending order); once it holds
// that, no later rank is smaller and the rest of the pass would swap nothing, so it stops there.
void exchangeSortByRank(std::vector<uint32_t>& rank, std::vector<uint32_t>& order,
                        const std::vector<uint32_t>& settled) {
    const std::size_t count = order.size();
    for (std::size_t i = 0; i + 1 < count; ++i) {
        uint32_t smallest = rank[i];
        for (std::size_t j = i + 1; smallest != settled[i] && j < count; ++j) {
            if (rank[j] < smallest) {
                rank[i] = rank[j];
                rank[j] = smallest;
                smallest = rank[i];
                std::swap(order[i], order[j]);
            }
        }
    }
}

void sortDay(const LogBook& book, std::vector<LogEntry>& entries, int column, bool ascending,
             SortScratch& scratch) {
    const std::size_t count = entries.size();
    if (count < 2)
        return;
    // The keys folded, one after another in one text.
    std::size_t total = 0;
    for (const LogEntry& entry : entries)
        total += entry.Lengths[column];
    std::string& folded_text = scratch.folded_text;
    folded_text.resize(total);
    char* out = folded_text.data();
    for (const LogEntry& entry : entries) {
        for (const char c : logEntryField(book, entry, column))
            *out++ = lowerAscii(c);
    }
    std::vector<std::string_view>& folded = scratch.folded;
    folded.resize(count);
    std::size_t at = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t length = entries[k].Lengths[column];
        folded[k] = std::string_view(folded_text).substr(at, length);
        at += length;
    }

    // std::string_view compares its bytes as unsigned char, a prefix first: _stricmp's order
    // once the letters are folded.
    std::vector<uint32_t>& order = scratch.order;
    order.resize(count);
    std::iota(order.begin(), order.end(), 0U);
    std::sort(order.begin(), order.end(),
              [&folded](uint32_t a, uint32_t b) { return folded[a] < folded[b]; });

    std::vector<uint32_t>& rank = scratch.rank;
    rank.assign(count, 0);
    bool distinct = true;
    for (std::size_t k = 1; k < count; ++k) {
        const bool same = folded[order[k]] == folded[order[k - 1]];
        distinct = distinct && !same;
        rank[order[k]] = rank[order[k - 1]] + (same ? 0 : 1);
    }

    if (distinct) {
        // With every key distinct the sorted order is the only one, and so the exchange sort's,
        // in either direction.
        if (!ascending)
            std::reverse(order.begin(), order.end());
    } else {
        // Descending swaps where the key at i is the smaller: the same passes on inverted ranks.
        std::vector<uint32_t>& settled = scratch.settled;
        settled.resize(count);
        const uint32_t top = rank[order[count - 1]];
        for (std::size_t k = 0; k < count; ++k)
            settled[k] = ascending ? rank[order[k]] : top - rank[order[count - 1 - k]];
        if (!ascending) {
            for (uint32_t& r : rank)
                r = top - r;
        }
        std::iota(order.begin(), order.end(), 0U);
        exchangeSortByRank(rank, order, settled);
    }

    std::vector<LogEntry>& sorted = scratch.sorted;
    sorted.clear();
    sorted.reserve(count);
    for (const uint32_t from : order)
        sorted.push_back(entries[from]);
    entries.swap(sorted);
}

} // namespace

std::vector<std::string> splitLogLine(std::string_view line) {
    std::vector<std::string> fields;
    forEachLogField(line, [&fields](std::string_view field) {
        fields.emplace_back(field);
        return true;
    });
    return fields;
}

void parseLogText(std::string_view text, LogBook& book, std::size_t slice) {
    LogTextReader reader(book, text.size());
    const std::size_t block = slice == 0 ? kLogReadBlock : slice;
    while (!text.empty()) {
        const std::size_t length = std::min(text.size(), block);
        reader.feed(text.substr(0, length));
        text.remove_prefix(length);
    }
    reader.finish();
}

bool loadLogFile(const std::string& path, LogBook& book) {
    // Binary: the reader does the text mode's translation itself, the same on every platform.
    // Closed however the reading ends, an allocation that fails included.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> owned(std::fopen(path.c_str(), "rb"), &std::fclose);
    std::FILE* const file = owned.get();
    if (file == nullptr)
        return false;
    // The fields take less than the file: room for all of it makes the text once.
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    std::rewind(file);
    LogTextReader reader(book, size > 0 ? static_cast<std::size_t>(size) : 0);
    std::vector<char> block(kLogReadBlock);
    for (;;) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), file);
        if (got == 0)
            break;
        reader.feed(std::string_view(block.data(), got));
    }
    reader.finish();
    return true;
}

void sortLog(int column, LogBook& book) {
    if (column < 0 || column >= kLogColumnCount)
        return;
    if (column == book.LogSortColumn) {
        book.LogSortAscending = !book.LogSortAscending;
    } else {
        book.LogSortColumn = column;
        book.LogSortAscending = true;
    }
    SortScratch scratch;
    for (LogDay& day : book.Days)
        sortDay(book, day.Entries, column, book.LogSortAscending, scratch);
}

std::string_view logEntryField(const LogBook& book, const LogEntry& entry, int column) {
    if (column < 0 || column >= kLogColumnCount)
        return {};
    std::size_t start = entry.Start;
    for (int before = 0; before < column; ++before)
        start += entry.Lengths[before];
    return std::string_view(book.Text).substr(start, entry.Lengths[column]);
}

std::string_view logDayDate(const LogBook& book, const LogDay& day) {
    return std::string_view(book.Text).substr(day.DateStart, day.DateLength);
}

int logRowImage(std::string_view event) {
    if (equalsIgnoringAsciiCase(event, "ENTER"))
        return 0;
    if (equalsIgnoringAsciiCase(event, "LEAVE"))
        return 1;
    for (const char* word : {"OPEN", "CLOSE", "CLOSE-FILE", "DISCONNECT"}) {
        if (equalsIgnoringAsciiCase(event, word))
            return kLogFileImage;
    }
    return -1;
}
