#include "ui/log_model.h"
#include "base/ascii_case.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// The viewer has always read the file with fgets into 4096 bytes: a line longer than this comes
// in pieces, each taken as a line of its own.
constexpr std::size_t kLogPieceMax = 4095;
constexpr std::size_t kReadBlock = std::size_t{1} << 16;
constexpr int kFieldsPerLine = 7;

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
// pieces of long lines and the entries are the same in the DLL and in the native build.
class LogTextReader {
public:
    explicit LogTextReader(std::vector<LogDay>& days) : days_(days) {
        days_.clear();
        text_.reserve(kReadBlock + kLogPieceMax + 1);
    }

    // The next bytes of the file, in any slices.
    void feed(std::string_view bytes) {
        translate(bytes);
        takePieces(false);
    }

    void finish() {
        if (held_cr_)
            text_ += '\r';
        held_cr_ = false;
        takePieces(true);
    }

private:
    void translate(std::string_view bytes) {
        if (ended_ || bytes.empty())
            return;
        if (const void* eof = std::memchr(bytes.data(), '\x1A', bytes.size())) {
            bytes = bytes.substr(0, static_cast<const char*>(eof) - bytes.data());
            ended_ = true;
        }
        if (held_cr_) {
            held_cr_ = false;
            if (!bytes.empty() && bytes.front() == '\n') {
                bytes.remove_prefix(1);
                text_ += '\n';
            } else {
                text_ += '\r';
            }
        }
        while (!bytes.empty()) {
            const std::size_t cr = bytes.find('\r');
            if (cr == std::string_view::npos) {
                text_.append(bytes);
                return;
            }
            text_.append(bytes.substr(0, cr));
            if (cr + 1 == bytes.size()) {
                // Its LF may start the next slice; after Ctrl-Z nothing comes.
                if (ended_)
                    text_ += '\r';
                else
                    held_cr_ = true;
                return;
            }
            const bool pair = bytes[cr + 1] == '\n';
            text_ += pair ? '\n' : '\r';
            bytes.remove_prefix(cr + (pair ? 2 : 1));
        }
    }

    // Cuts the text into the pieces fgets would return: through a line feed, or 4095 characters
    // without one; a shorter rest only once the file has ended.
    void takePieces(bool at_end) {
        const char* const data = text_.data();
        const std::size_t size = text_.size();
        std::size_t pos = 0;
        while (pos < size) {
            const std::size_t avail = size - pos;
            const std::size_t window = std::min(avail, kLogPieceMax);
            const auto* lf = static_cast<const char*>(std::memchr(data + pos, '\n', window));
            std::size_t length = 0;
            if (lf != nullptr)
                length = static_cast<std::size_t>(lf - (data + pos)) + 1;
            else if (avail >= kLogPieceMax || at_end)
                length = window;
            else
                break;
            takeLine(std::string_view(data + pos, length));
            pos += length;
        }
        text_.erase(0, pos);
    }

    void takeLine(std::string_view piece) {
        // The line was a C string: a NUL byte ends it.
        if (const void* nul = std::memchr(piece.data(), '\0', piece.size()))
            piece = piece.substr(0, static_cast<const char*>(nul) - piece.data());
        // One trailing control character goes: the line break, or whatever a cut left there.
        if (!piece.empty() && static_cast<unsigned char>(piece.back()) < 32)
            piece.remove_suffix(1);

        std::string_view fields[kFieldsPerLine];
        int count = 0;
        forEachLogField(piece, [&fields, &count](std::string_view field) {
            fields[count++] = field;
            return count < kFieldsPerLine;
        });
        if (count < kFieldsPerLine)
            return;

        if (days_.empty() || days_.back().Date != fields[0]) {
            days_.emplace_back();
            days_.back().Date = fields[0];
        }
        days_.back().Entries.push_back(LogEntry{std::string(fields[1]), std::string(fields[2]),
                                                std::string(fields[3]), std::string(fields[4]),
                                                std::string(fields[5]), std::string(fields[6])});
    }

    std::vector<LogDay>& days_;
    std::string text_;     // translated bytes not yet cut into pieces
    bool held_cr_ = false; // a CR ended the last slice; the next one tells whether an LF follows
    bool ended_ = false;   // Ctrl-Z was read
};

// Buffers reused from day to day while sorting.
struct SortScratch {
    std::vector<std::string> folded;
    std::vector<uint32_t> order;
    std::vector<uint32_t> rank;
    std::vector<LogEntry> sorted;
};

// The exchange sort itself, on the keys' ranks: integer compares and swaps in place of string
// work. For each position, every later one that holds a smaller rank swaps in. Descending runs
// on inverted ranks.
void exchangeSortByRank(std::vector<uint32_t>& rank, std::vector<uint32_t>& order) {
    const std::size_t count = order.size();
    for (std::size_t i = 0; i + 1 < count; ++i) {
        uint32_t smallest = rank[i];
        for (std::size_t j = i + 1; j < count; ++j) {
            if (rank[j] < smallest) {
                rank[i] = rank[j];
                rank[j] = smallest;
                smallest = rank[i];
                std::swap(order[i], order[j]);
            }
        }
    }
}

void sortDay(std::vector<LogEntry>& entries, int column, bool ascending, SortScratch& scratch) {
    const std::size_t count = entries.size();
    if (count < 2)
        return;
    std::vector<std::string>& folded = scratch.folded;
    folded.resize(count);
    for (std::size_t k = 0; k < count; ++k) {
        const std::string& key = logEntryField(entries[k], column);
        folded[k].assign(key);
        for (char& c : folded[k])
            c = lowerAscii(c);
    }

    // std::string compares its bytes as unsigned char, a prefix first: _stricmp's order once
    // the letters are folded.
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
        if (!ascending) {
            const uint32_t top = rank[order[count - 1]];
            for (uint32_t& r : rank)
                r = top - r;
        }
        std::iota(order.begin(), order.end(), 0U);
        exchangeSortByRank(rank, order);
    }

    std::vector<LogEntry>& sorted = scratch.sorted;
    sorted.clear();
    sorted.reserve(count);
    for (const uint32_t from : order)
        sorted.push_back(std::move(entries[from]));
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

void parseLogText(std::string_view text, LogBook& book) {
    LogTextReader reader(book.Days);
    // In slices like the file, so that the held CR and the pieces see the same boundaries.
    while (!text.empty()) {
        const std::size_t slice = std::min(text.size(), kReadBlock);
        reader.feed(text.substr(0, slice));
        text.remove_prefix(slice);
    }
    reader.finish();
}

bool loadLogFile(const std::string& path, LogBook& book) {
    // Binary: the reader does the text mode's translation itself, the same on every platform.
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    LogTextReader reader(book.Days);
    std::vector<char> block(kReadBlock);
    for (;;) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), file);
        if (got == 0)
            break;
        reader.feed(std::string_view(block.data(), got));
    }
    reader.finish();
    std::fclose(file);
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
        sortDay(day.Entries, column, book.LogSortAscending, scratch);
}

const std::string& logEntryField(const LogEntry& entry, int column) {
    static const std::string kNone;
    switch (column) {
    case 0:
        return entry.Time;
    case 1:
        return entry.Event;
    case 2:
        return entry.User;
    case 3:
        return entry.ComputerIP;
    case 4:
        return entry.ComputerRealName;
    case 5:
        return entry.ShareName;
    default:
        return kNone;
    }
}

int logRowImage(std::string_view event) {
    if (equalsIgnoringAsciiCase(event, "ENTER"))
        return 0;
    if (equalsIgnoringAsciiCase(event, "LEAVE"))
        return 1;
    return -1;
}
