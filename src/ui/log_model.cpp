#include "ui/log_model.h"
#include "base/ascii_case.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
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
    std::vector<uint32_t> tree;
    std::vector<uint32_t> slot;
    std::vector<uint32_t> group_start;
    std::vector<uint32_t> group_size;
    std::vector<uint32_t> head;
    std::vector<uint32_t> smaller_seen;
    std::vector<LogEntry> sorted;
};

// A Fenwick tree of counts over `tree`'s size: counts below a value, and the k-th free place.
void treeAdd(std::vector<uint32_t>& tree, std::size_t at, uint32_t count) {
    for (++at; at <= tree.size(); at += at & (0 - at))
        tree[at - 1] += count;
}

uint32_t treeCountBelow(const std::vector<uint32_t>& tree, std::size_t end) {
    uint32_t sum = 0;
    for (; end > 0; end -= end & (0 - end))
        sum += tree[end - 1];
    return sum;
}

// The place of the (k+1)-th 1 among `size` places, in a tree of `size` that counts them.
std::size_t treeFind(const uint32_t* tree, std::size_t size, uint32_t k) {
    std::size_t at = 0;
    std::size_t step = 1;
    while (step * 2 <= size)
        step *= 2;
    for (; step > 0; step /= 2) {
        if (at + step <= size && tree[at + step - 1] <= k) {
            at += step;
            k -= tree[at - 1];
        }
    }
    return at;
}

// The order the exchange sort leaves, in O(n log n), on the keys' ranks (0 the first to place).
// For each position i the exchange sort carries the entry at i along the later ones, trading
// it for each one that ranks before it, and leaves the last one taken at i. Seen by one rank
// r alone, with the entries of ranks before r as "smaller": while smaller ones remain, a pass
// either drops the first smaller one or, when an entry of rank r comes first, moves that one to
// the place of the first smaller one, behind the others of rank r before it. So, walking the
// entries in order, the entries of rank r form a ring: each smaller entry after the first of
// rank r turns it by one (its front goes to the back), and each entry of rank r joins it at the
// back. The ring read from its front is their final order. The turns are counted with a tree
// over the ranks; each entry's place in its ring is where it was inserted, and the insertions
// are replayed backwards over a tree of free places.
void exchangeSortOrder(const std::vector<uint32_t>& rank, uint32_t ranks, std::vector<uint32_t>& order,
                       SortScratch& scratch) {
    const std::size_t count = rank.size();
    std::vector<uint32_t>& tree = scratch.tree;
    std::vector<uint32_t>& slot = scratch.slot; // each entry's insertion place in its ring
    std::vector<uint32_t>& size = scratch.group_size;
    std::vector<uint32_t>& head = scratch.head;
    std::vector<uint32_t>& seen = scratch.smaller_seen; // smaller entries before the ring's last turn
    tree.assign(ranks, 0);
    slot.resize(count);
    size.assign(ranks, 0);
    head.assign(ranks, 0);
    seen.assign(ranks, 0);
    for (std::size_t k = 0; k < count; ++k) {
        const uint32_t r = rank[k];
        const uint32_t smaller = treeCountBelow(tree, r);
        treeAdd(tree, r, 1);
        if (size[r] > 0)
            head[r] = (head[r] + (smaller - seen[r]) % size[r]) % size[r];
        // Joining at the back is joining before the front; the front moves up by one.
        slot[k] = head[r];
        head[r] = size[r] > 0 ? head[r] + 1 : 0;
        ++size[r];
        seen[r] = smaller;
    }
    std::vector<uint32_t>& start = scratch.group_start;
    start.assign(ranks + 1, 0);
    for (uint32_t r = 0; r < ranks; ++r)
        start[r + 1] = start[r] + size[r];
    // The smaller entries after each ring's last member still turn it.
    for (uint32_t r = 0; r < ranks; ++r) {
        if (size[r] > 0)
            head[r] = (head[r] + (start[r] - seen[r]) % size[r]) % size[r];
    }
    // Backwards, each entry takes the free place of its insertion: its place in the ring. Each
    // ring has a tree of its own free places, over its slice of `tree`, all free at first.
    tree.resize(count);
    for (uint32_t r = 0; r < ranks; ++r) {
        for (std::size_t at = 1; at <= size[r]; ++at)
            tree[start[r] + at - 1] = static_cast<uint32_t>(at & (0 - at));
    }
    order.resize(count);
    for (std::size_t k = count; k-- > 0;) {
        const uint32_t r = rank[k];
        uint32_t* const ring = tree.data() + start[r];
        const std::size_t place = treeFind(ring, size[r], slot[k]);
        for (std::size_t at = place + 1; at <= size[r]; at += at & (0 - at))
            --ring[at - 1];
        order[start[r] + (place + size[r] - head[r]) % size[r]] = static_cast<uint32_t>(k);
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
        // Descending places the greatest key first: the same on inverted ranks.
        const uint32_t top = rank[order[count - 1]];
        if (!ascending) {
            for (uint32_t& r : rank)
                r = top - r;
        }
        exchangeSortOrder(rank, top + 1, order, scratch);
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

bool loadLogFile(const std::string& path, LogBook& book, std::string* why) {
    const auto fail = [why](const char* reason) {
        if (why != nullptr)
            *why = reason;
        return false;
    };
    // Binary: the reader does the text mode's translation itself, the same on every platform.
    // Closed however the reading ends, an allocation that fails included.
    errno = 0;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> owned(std::fopen(path.c_str(), "rb"), &std::fclose);
    std::FILE* const file = owned.get();
    if (file == nullptr)
        return fail(errno != 0 ? std::strerror(errno) : "It cannot be opened");
    // The fields take less than the file: room for all of it makes the text once. Where a long
    // has 32 bits, a file over 2 GB has no size here, and would not fit in memory anyway.
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    if (size < 0)
        return fail("It is over 2 GB");
    std::rewind(file);
    // Read into a book of its own: the days shown stay whole until it has all been read.
    LogBook fresh;
    try {
        LogTextReader reader(fresh, static_cast<std::size_t>(size));
        std::vector<char> block(kLogReadBlock);
        for (;;) {
            const std::size_t got = std::fread(block.data(), 1, block.size(), file);
            if (got == 0)
                break;
            reader.feed(std::string_view(block.data(), got));
        }
        if (std::ferror(file) != 0)
            return fail("It could not be read to its end");
        reader.finish();
    } catch (const std::bad_alloc&) {
        return fail("There is not enough memory for it");
    } catch (const std::length_error&) {
        return fail("There is not enough memory for it");
    }
    book.Text.swap(fresh.Text);
    book.Days.swap(fresh.Days);
    return true;
}

void releaseLogDays(LogBook& book) {
    std::string().swap(book.Text);
    std::vector<LogDay>().swap(book.Days);
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
