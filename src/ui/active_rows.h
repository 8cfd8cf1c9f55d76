#pragma once
// The Active shares viewer's rows: the tracked sessions on selected sources as
// texts, and the order a click on a column header puts them in.

#include "monitor/connection_info.h"

#include <array>
#include <string>
#include <vector>

constexpr int kActiveColumnCount = 5;

// One row: "Share", "User", "Computer IP", "Computer Name" and "Time", in column order.
struct ActiveShareRow {
    std::array<std::string, kActiveColumnCount> texts;
};

// The rows of the sessions in `table` whose share is a selected source, in table
// order. Each listed session costs one reverse name lookup, so `table` is a copy
// taken under tracker_lock and released before the call.
std::vector<ActiveShareRow> activeRowsFor(const std::vector<ConnectionInfo>& table);

// The viewer's sort: no column until the first click; a click on the sorted
// column turns the direction, a click on another sorts it ascending.
struct ActiveSort {
    int column = -1;
    bool ascending = true;
};
void clickActiveColumn(ActiveSort& sort, int column);

// <0, 0 or >0 for `a` before, beside or after `b`: the sorted column's texts
// compared ignoring ASCII case, turned round when descending. Every column,
// times and addresses included, compares as text.
int compareActiveRows(const ActiveShareRow& a, const ActiveShareRow& b, const ActiveSort& sort);
