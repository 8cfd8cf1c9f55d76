#pragma once
// Reference sort of the log viewer's days for tests and benchmarks: the exchange sort written
// down step by step, quadratic but obviously right, on the days as plain texts. sortLog must
// give the same days for every input, down to the order of keys that are equal apart from case.

#include "literal_share_sort.h"

#include "ui/log_model.h"

#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// The days as the viewer shows them: each day's date, then its entries' six fields.
struct LiteralLogDay {
    std::string Date;
    std::vector<std::array<std::string, kLogColumnCount>> Entries;
    bool operator==(const LiteralLogDay& other) const { return Date == other.Date && Entries == other.Entries; }
};
struct LiteralLog {
    std::vector<LiteralLogDay> Days;
    int LogSortColumn = -1;
    bool LogSortAscending = true;
};

inline LiteralLog literalLogOf(const LogBook& book) {
    LiteralLog log{{}, book.LogSortColumn, book.LogSortAscending};
    for (const LogDay& day : book.Days) {
        LiteralLogDay& plain = log.Days.emplace_back();
        plain.Date = logDayDate(book, day);
        for (const LogEntry& entry : day.Entries) {
            auto& fields = plain.Entries.emplace_back();
            for (int column = 0; column < kLogColumnCount; ++column)
                fields[column] = logEntryField(book, entry, column);
        }
    }
    return log;
}

// The sort written down as the viewer has always done it: the state update, then for each day
// every position against every later one, swapping all six fields when out of order.
inline void literalSortLog(int column, LiteralLog& log) {
    if (column == log.LogSortColumn) {
        log.LogSortAscending = !log.LogSortAscending;
    } else {
        log.LogSortColumn = column;
        log.LogSortAscending = true;
    }
    for (LiteralLogDay& day : log.Days) {
        auto& e = day.Entries;
        for (std::size_t i = 0; i + 1 < e.size(); ++i) {
            for (std::size_t j = i + 1; j < e.size(); ++j) {
                const int order = literalStricmp(e[i][column], e[j][column]);
                if ((log.LogSortAscending && order > 0) || (!log.LogSortAscending && order < 0))
                    std::swap(e[i], e[j]);
            }
        }
    }
}
