// The Active shares viewer: a snapshot of the tracked sessions on selected
// sources, taken at opening and at "Refresh", sortable by a click on a header.

#include "base/trace.h"
#include "monitor/connection_tracker.h"
#include "monitor/win32/tracker_lock.h"
#include "resource_ids.h"
#include "ui/active_rows.h"
#include "ui/win32/preference_pages.h"
#include "ui/win32/sortable_list_dialog.h"
#include "ui/win32/viewers.h"

#include <vector>

namespace {

const char* const kHeaders[kActiveColumnCount] = {"Share", "User", "Computer IP", "Computer Name", "Time"};

constexpr int kInitialColumnWidth = 200;
constexpr int kColumnPadding = 16;

// The viewer's rows and sort, kept from one opening to the next; UI thread only.
std::vector<ActiveShareRow> active_rows;
ActiveSort shares_sort;

// Between "stop" and the next "start" there is no lock, and the watcher may have
// been ended in the middle of a diff: the table is then not read, and the list is empty.
void buildActiveRows() {
    if (!trackerLockCreated()) {
        DebugTrace("%s: active shares: not monitoring, no rows", TRACE_TAG);
        active_rows.clear();
        return;
    }
    std::vector<ConnectionInfo> table;
    {
        TrackerLockHold hold;
        table = connectionTracker().table();
    }
    // Each row costs a reverse lookup: made on the copy, so the watcher's diff never waits for one.
    active_rows = activeRowsFor(table);
}

int CALLBACK compareActiveItems(LPARAM first, LPARAM second, LPARAM) {
    const auto a = static_cast<size_t>(first);
    const auto b = static_cast<size_t>(second);
    if (a >= active_rows.size() || b >= active_rows.size())
        return 0;
    return compareActiveRows(active_rows[a], active_rows[b], shares_sort);
}

class ActiveSharesViewer : public SortableListDialog {
public:
    explicit ActiveSharesViewer(HWND dialog)
        : SortableListDialog(dialog,
                             {IDC_ACTIVE_SHARES_LIST, kHeaders, kActiveColumnCount, kInitialColumnWidth}) {}

protected:
    void resetSort() override { shares_sort.column = -1; }

    void fill() override {
        buildActiveRows();
        list().deleteAllItems();
        for (size_t index = 0; index < active_rows.size(); ++index) {
            const ActiveShareRow& row = active_rows[index];
            const int inserted = list().insertItemWithParam(static_cast<int>(index), row.texts[0].c_str(),
                                                            static_cast<LPARAM>(index));
            for (int column = 1; column < kActiveColumnCount; ++column)
                list().setItemText(inserted, column, row.texts[column].c_str());
        }
        // Each column as wide as the wider of its texts and its header, plus some air;
        // the last one takes the rest of the list.
        for (int column = 0; column + 1 < kActiveColumnCount; ++column)
            list().setColumnWidth(column, list().fitColumn(column) + kColumnPadding);
        list().setColumnWidth(kActiveColumnCount - 1, LVSCW_AUTOSIZE_USEHEADER);
    }

    void sortBy(int column, int& sorted_column, bool& ascending) override {
        clickActiveColumn(shares_sort, column);
        list().sortItems(compareActiveItems, 0);
        sorted_column = shares_sort.column;
        ascending = shares_sort.ascending;
    }

    // "Quiet for this visitor...": a rule for the selected session's user and computer name.
    void contextMenu(int x, int y) override {
        const int row = list().selectedRow();
        if (row < 0)
            return;
        const auto index = static_cast<size_t>(list().itemParam(row));
        if (index >= active_rows.size())
            return;
        if (x == -1 && y == -1) {
            RECT item{LVIR_BOUNDS, 0, 0, 0};
            SendMessageA(list().window(), LVM_GETITEMRECT, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(&item));
            POINT at{item.left, item.bottom};
            ClientToScreen(list().window(), &at);
            x = at.x;
            y = at.y;
        }
        HMENU menu = CreatePopupMenu();
        if (menu == nullptr)
            return;
        AppendMenuA(menu, MF_STRING, IDM_QUIET_VISITOR, "Quiet for this visitor\x85");
        const BOOL chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, dialog(), nullptr);
        DestroyMenu(menu);
        if (chosen == IDM_QUIET_VISITOR)
            quietVisitor(dialog(), active_rows[index].texts[1], active_rows[index].texts[3]);
    }
};

} // namespace

INT_PTR CALLBACK ActiveSharesViewerProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    return SortableListDialog::procedure<ActiveSharesViewer>(dialog, message, wparam, lparam);
}
