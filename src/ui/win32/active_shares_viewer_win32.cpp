// The Active shares viewer: a snapshot of the tracked sessions on selected
// sources, taken at opening and at "Refresh", sortable by a click on a header;
// below it the open files of the selected session.

#include "base/trace.h"
#include "monitor/connection_tracker.h"
#include "monitor/win32/tracker_lock.h"
#include "resource_ids.h"
#include "ui/active_rows.h"
#include "ui/win32/open_files_pane.h"
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
                             {IDC_ACTIVE_SHARES_LIST, kHeaders, kActiveColumnCount, kInitialColumnWidth}),
          files_(dialog) {}

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
        files_.reread();
        if (!active_rows.empty())
            list().selectRow(0);
        files_.show(selectedSession());
    }

    bool command(int id) override {
        const bool acted = id == IDC_CLOSE_FILE   ? files_.closeFile(selectedSession())
                           : id == IDC_DISCONNECT ? files_.disconnect(selectedSession())
                                                  : false;
        if (acted)
            SendMessageA(dialog(), WM_COMMAND, MAKEWPARAM(IDC_REFRESH, BN_CLICKED), 0);
        return acted;
    }

    bool notify(const NMHDR& notice) override {
        if (notice.code != LVN_ITEMCHANGED)
            return false;
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(notice);
        if (((change.uOldState ^ change.uNewState) & LVIS_SELECTED) != 0)
            files_.show(selectedSession());
        return true;
    }

    // The files' actions, then "Quiet for this visitor...": a rule for the selected
    // session's user and computer name.
    void contextMenu(HWND window, POINT screen) override {
        const ActiveShareRow* session = selectedSession();
        if (screen.x == -1 && screen.y == -1) {
            RECT bounds{};
            GetWindowRect(window, &bounds);
            screen = POINT{bounds.left + 16, bounds.top + 16};
        }
        HMENU menu = CreatePopupMenu();
        if (menu == nullptr)
            return;
        files_.addMenuItems(menu, session);
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING | (session != nullptr ? 0 : MF_GRAYED), IDM_QUIET_VISITOR,
                    "Quiet for this visitor\x85");
        const BOOL chosen =
            TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, dialog(), nullptr);
        DestroyMenu(menu);
        if (chosen == IDM_QUIET_VISITOR && session != nullptr)
            quietVisitor(dialog(), session->texts[1], session->texts[3]);
        else if (chosen != 0)
            SendMessageA(dialog(), WM_COMMAND, MAKEWPARAM(chosen, BN_CLICKED), 0);
    }

    void sortBy(int column, int& sorted_column, bool& ascending) override {
        clickActiveColumn(shares_sort, column);
        list().sortItems(compareActiveItems, 0);
        sorted_column = shares_sort.column;
        ascending = shares_sort.ascending;
    }

private:
    const ActiveShareRow* selectedSession() const {
        const int row = list().selectedRow();
        const auto index = row < 0 ? active_rows.size() : static_cast<size_t>(list().itemParam(row));
        return index < active_rows.size() ? &active_rows[index] : nullptr;
    }

    OpenFilesPane files_;
};

} // namespace

INT_PTR CALLBACK ActiveSharesViewerProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    return SortableListDialog::procedure<ActiveSharesViewer>(dialog, message, wparam, lparam);
}
