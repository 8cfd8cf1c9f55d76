#pragma once
// Reference sort of the log viewer's days for tests and benchmarks: the exchange sort written
// down step by step, quadratic but obviously right. sortLog must give the same days for every
// input, down to the order of keys that are equal apart from case.

#include "literal_share_sort.h"

#include "ui/log_model.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// The sort written down as the viewer has always done it: the state update, then for each day
// every position against every later one, swapping all six fields (the entry) when out of order.
inline void literalSortLog(int column, LogBook& book) {
    if (column == book.LogSortColumn) {
        book.LogSortAscending = !book.LogSortAscending;
    } else {
        book.LogSortColumn = column;
        book.LogSortAscending = true;
    }
    for (LogDay& day : book.Days) {
        std::vector<LogEntry>& e = day.Entries;
        for (std::size_t i = 0; i + 1 < e.size(); ++i) {
            for (std::size_t j = i + 1; j < e.size(); ++j) {
                const int order = literalStricmp(std::string(logEntryField(book, e[i], column)),
                                                 std::string(logEntryField(book, e[j], column)));
                if ((book.LogSortAscending && order > 0) || (!book.LogSortAscending && order < 0))
                    std::swap(e[i], e[j]);
            }
        }
    }
}
