#include "ui/active_rows.h"
#include "base/ascii_case.h"
#include "config/preferences.h"
#include "events/message_template.h"

std::vector<ActiveShareRow> activeRowsFor(const std::vector<ConnectionInfo>& table) {
    std::vector<ActiveShareRow> rows;
    for (const ConnectionInfo& session : table) {
        if (!find_source(session.ShareName.c_str()))
            continue;
        rows.push_back(ActiveShareRow{{session.ShareName, session.UserName, session.ComputerName,
                                       resolveComputerName(session.ComputerName),
                                       formatActiveTime(session.ActiveTime)}});
    }
    return rows;
}

void clickActiveColumn(ActiveSort& sort, int column) {
    if (column == sort.column) {
        sort.ascending = !sort.ascending;
    } else {
        sort.column = column;
        sort.ascending = true;
    }
}

int compareActiveRows(const ActiveShareRow& a, const ActiveShareRow& b, const ActiveSort& sort) {
    if (sort.column < 0 || sort.column >= kActiveColumnCount)
        return 0;
    const int order = compareIgnoringAsciiCase(a.texts[sort.column], b.texts[sort.column]);
    return sort.ascending ? order : -order;
}
