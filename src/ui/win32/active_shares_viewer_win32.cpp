// The Active shares viewer: a snapshot of the tracked sessions on selected
// sources, taken at opening and at "Refresh", sortable by a click on a header.

#include "base/trace.h"
#include "monitor/connection_tracker.h"
#include "monitor/win32/tracker_lock.h"
#include "resource_ids.h"
#include "ui/active_rows.h"
#include "ui/win32/sortable_header.h"
#include "ui/win32/viewers.h"
#include "ui/win32/window_placement.h"

#include <commctrl.h>

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

void clearSharesSortArrows(HWND list) {
    clearColumnImages(list, kActiveColumnCount);
}

void setSharesSortArrow(HWND list, int column, int kind) {
    if (column < 0 || column >= kActiveColumnCount)
        return;
    setColumnImage(list, column,
                   kind == 1   ? kHeaderArrowUp
                   : kind == 2 ? kHeaderArrowDown
                               : kHeaderArrowNone);
}

void fillActiveList(HWND list) {
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (size_t index = 0; index < active_rows.size(); ++index) {
        const ActiveShareRow& row = active_rows[index];
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(index);
        item.pszText = const_cast<char*>(row.texts[0].c_str());
        item.lParam = static_cast<LPARAM>(index);
        const auto inserted = SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        for (int column = 1; column < kActiveColumnCount; ++column) {
            LVITEMA cell{};
            cell.iSubItem = column;
            cell.pszText = const_cast<char*>(row.texts[column].c_str());
            SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(inserted),
                         reinterpret_cast<LPARAM>(&cell));
        }
    }
    // Each column as wide as the wider of its texts and its header, plus some air;
    // the last one takes the rest of the list.
    for (int column = 0; column + 1 < kActiveColumnCount; ++column) {
        SendMessageA(list, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE);
        const auto contents = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
        SendMessageA(list, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE_USEHEADER);
        const auto header = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
        SendMessageA(list, LVM_SETCOLUMNWIDTH, column,
                     (contents > header ? contents : header) + kColumnPadding);
    }
    SendMessageA(list, LVM_SETCOLUMNWIDTH, kActiveColumnCount - 1, LVSCW_AUTOSIZE_USEHEADER);
}

int CALLBACK compareActiveItems(LPARAM first, LPARAM second, LPARAM) {
    const auto a = static_cast<size_t>(first);
    const auto b = static_cast<size_t>(second);
    if (a >= active_rows.size() || b >= active_rows.size())
        return 0;
    return compareActiveRows(active_rows[a], active_rows[b], shares_sort);
}

void sortActiveList(HWND list, int column) {
    clickActiveColumn(shares_sort, column);
    SendMessageA(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(list),
                 reinterpret_cast<LPARAM>(compareActiveItems));
}

void initialise(HWND dialog) {
    centerWindow(dialog, GetWindow(dialog, GW_OWNER));
    HWND list = GetDlgItem(dialog, IDC_ACTIVE_SHARES_LIST);
    // The arrows belong to the dialog: freed when it is destroyed, however it ends.
    HIMAGELIST header_images = createSortArrowImages();
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(header_images));
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    SendMessageA(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(header_images));
    insertSortableColumns(list, kHeaders, kActiveColumnCount, kInitialColumnWidth);
    shares_sort.column = -1;
    buildActiveRows();
    fillActiveList(list);
}

void command(HWND dialog, int id) {
    HWND list = GetDlgItem(dialog, IDC_ACTIVE_SHARES_LIST);
    switch (id) {
    case IDOK:
    case IDCANCEL:
        EndDialog(dialog, id);
        break;
    case IDC_REFRESH:
        shares_sort.column = -1;
        clearSharesSortArrows(list);
        buildActiveRows();
        fillActiveList(list);
        break;
    default:
        break;
    }
}

void columnClicked(HWND dialog, const NMLISTVIEW& click) {
    if (click.iSubItem < 0 || click.iSubItem >= kActiveColumnCount)
        return;
    HWND list = GetDlgItem(dialog, IDC_ACTIVE_SHARES_LIST);
    sortActiveList(list, click.iSubItem);
    clearSharesSortArrows(list);
    setSharesSortArrow(list, shares_sort.column, shares_sort.ascending ? 1 : 2);
}

} // namespace

INT_PTR CALLBACK ActiveSharesViewerProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    try {
        if (message == WM_INITDIALOG) {
            initialise(dialog);
        } else if (message == WM_NCDESTROY) {
            if (auto images = reinterpret_cast<HIMAGELIST>(GetWindowLongPtrA(dialog, DWLP_USER)))
                ImageList_Destroy(images);
        } else if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
            command(dialog, LOWORD(wparam));
        } else if (message == WM_NOTIFY && wparam == IDC_ACTIVE_SHARES_LIST) {
            const auto* notice = reinterpret_cast<const NMHDR*>(lparam);
            if (notice->code == LVN_COLUMNCLICK)
                columnClicked(dialog, *reinterpret_cast<const NMLISTVIEW*>(lparam));
        }
    } catch (...) {
    }
    return FALSE;
}
