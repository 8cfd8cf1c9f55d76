// The log viewer: the event log read back and shown grouped by day, each day
// sortable by a click on a column header.

#include "base/trace.h"
#include "config/settings_store.h"
#include "resource_ids.h"
#include "ui/log_model.h"
#include "ui/win32/icon_list.h"
#include "ui/win32/sortable_header.h"
#include "ui/win32/viewers.h"
#include "ui/win32/window_placement.h"

#include <commctrl.h>
#include <shellapi.h>

#include <iterator>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

const char* const kHeaders[kLogColumnCount] = {"Time",        "Event",         "User",
                                               "Computer IP", "Computer Name", "Share Name"};
constexpr int kInitialColumnWidth = 200;
constexpr int kRowIconSize = 16;
// Row images: the two events, a date row, a spacer row.
const int kRowIcons[] = {IDI_LOG_ENTER, IDI_LOG_LEAVE, IDI_LOG_DATE, IDI_LOG_SPACER};
constexpr int kDateImage = 2;
constexpr int kSpacerImage = 3;

// The days and the sort state live as long as the library; UI thread only.
LogBook log_book;

// The dialog's own images, made with it and freed when it is destroyed, however it ends.
struct LogViewerImages {
    HIMAGELIST rows = nullptr;
    HIMAGELIST header = nullptr;
};

int addRow(HWND list, int row, const char* text, int image, int indent) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_INDENT;
    item.iItem = row;
    item.pszText = const_cast<char*>(text);
    item.iImage = image < 0 ? I_IMAGENONE : image;
    item.iIndent = indent;
    return static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void setCell(HWND list, int row, int column, const std::string& text) {
    LVITEMA cell{};
    cell.iSubItem = column;
    cell.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
}

void addEntryRow(HWND list, int row, const LogEntry& entry) {
    const int inserted = addRow(list, row, entry.Time.c_str(), logRowImage(entry.Event), 1);
    for (int column = 1; column < kLogColumnCount; ++column)
        setCell(list, inserted, column, logEntryField(entry, column));
}

void addDayHead(HWND list, int& row, const LogDay& day) {
    addRow(list, row++, "", kSpacerImage, 0);
    addRow(list, row++, day.Date.c_str(), kDateImage, 0);
    addRow(list, row++, "", kSpacerImage, 0);
}

// Each column fits its contents, and its header when that is wider.
void sizeColumns(HWND list, int* widths) {
    for (int column = 0; column < kLogColumnCount; ++column) {
        SendMessageA(list, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE);
        const auto contents = SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0);
        SendMessageA(list, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE_USEHEADER);
        if (SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0) < contents)
            SendMessageA(list, LVM_SETCOLUMNWIDTH, column, LVSCW_AUTOSIZE);
        widths[column] = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
    }
}

// Sizing measures every row of every column several times: seconds for a big log.
// A column's width is the widest of its rows', and a row's width depends only on
// its text, image and indent, so the rows widest in their column for each image
// give the same widths as all of them. They are sized alone first, with as many
// spacer rows as the whole log needs to show its vertical scroll bar.
constexpr size_t kRowsSizedDirectly = 1000;

// Text widths in the list's font, each text measured once.
class ListTextWidths {
public:
    explicit ListTextWidths(HWND list) : list_(list), dc_(GetDC(list)) {
        old_font_ = SelectObject(dc_, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
    }
    ~ListTextWidths() {
        SelectObject(dc_, old_font_);
        ReleaseDC(list_, dc_);
    }
    ListTextWidths(const ListTextWidths&) = delete;
    ListTextWidths& operator=(const ListTextWidths&) = delete;

    LONG operator()(const std::string& text) {
        auto found = measured_.find(text);
        if (found != measured_.end())
            return found->second;
        SIZE size{};
        GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
        return measured_.emplace(text, size.cx).first->second;
    }

private:
    HWND list_;
    HDC dc_;
    HGDIOBJ old_font_ = nullptr;
    std::unordered_map<std::string, LONG> measured_;
};

std::vector<const LogEntry*> widestEntries(ListTextWidths& width) {
    // Per column, per row image (ENTER, LEAVE, none): the widest entry.
    const LogEntry* widest[kLogColumnCount][3] = {};
    LONG widest_width[kLogColumnCount][3] = {};
    for (const LogDay& day : log_book.Days) {
        for (const LogEntry& entry : day.Entries) {
            const int image = logRowImage(entry.Event);
            const int kind = image < 0 ? 2 : image;
            for (int column = 0; column < kLogColumnCount; ++column) {
                const LONG w = width(logEntryField(entry, column));
                if (widest[column][kind] == nullptr || w > widest_width[column][kind]) {
                    widest[column][kind] = &entry;
                    widest_width[column][kind] = w;
                }
            }
        }
    }
    std::vector<const LogEntry*> entries;
    for (const auto& column : widest) {
        for (const LogEntry* entry : column) {
            if (entry != nullptr)
                entries.push_back(entry);
        }
    }
    return entries;
}

const LogDay* dayWithWidestDate(ListTextWidths& width) {
    const LogDay* widest = nullptr;
    LONG widest_width = 0;
    for (const LogDay& day : log_book.Days) {
        const LONG w = width(day.Date);
        if (widest == nullptr || w > widest_width) {
            widest = &day;
            widest_width = w;
        }
    }
    return widest;
}

void sizeColumnsByWidestRows(HWND list, int* widths) {
    int row = 0;
    {
        ListTextWidths width(list);
        if (const LogDay* day = dayWithWidestDate(width))
            addDayHead(list, row, *day);
        for (const LogEntry* entry : widestEntries(width))
            addEntryRow(list, row++, *entry);
    }
    const int page = static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
    while (row <= page)
        addRow(list, row++, "", kSpacerImage, 0);
    sizeColumns(list, widths);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
}

void fillLogList(HWND list) {
    // One repaint for the whole list.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    size_t rows = 0;
    for (const LogDay& day : log_book.Days)
        rows += 3 + day.Entries.size();
    int widths[kLogColumnCount] = {};
    const bool big = rows > kRowsSizedDirectly;
    if (big)
        sizeColumnsByWidestRows(list, widths);
    SendMessageA(list, LVM_SETITEMCOUNT, rows, 0);
    int row = 0;
    for (const LogDay& day : log_book.Days) {
        addDayHead(list, row, day);
        for (const LogEntry& entry : day.Entries)
            addEntryRow(list, row++, entry);
    }
    if (big) {
        for (int column = 0; column < kLogColumnCount; ++column)
            SendMessageA(list, LVM_SETCOLUMNWIDTH, column, widths[column]);
    } else {
        sizeColumns(list, widths);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void clearLogSortArrows(HWND list) {
    clearColumnImages(list, kLogColumnCount);
}

void setLogSortArrow(HWND list, int column, bool ascending) {
    if (column < 0 || column >= kLogColumnCount)
        return;
    setColumnImage(list, column, ascending ? kHeaderArrowUp : kHeaderArrowDown);
}

void reload(HWND list) {
    loadLogFile(currentSettings()->LogFile, log_book);
    fillLogList(list);
}

void initialise(HWND dialog) {
    centerWindow(dialog, GetWindow(dialog, GW_OWNER));
    HWND list = GetDlgItem(dialog, IDC_LOG_LIST);
    auto* images = new LogViewerImages{createIconList(kRowIcons, std::size(kRowIcons), kRowIconSize),
                                       createSortArrowImages()};
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(images));
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images->rows));
    // After the small images: setting those hands them to the header too.
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    SendMessageA(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images->header));
    insertSortableColumns(list, kHeaders, kLogColumnCount, kInitialColumnWidth);
    log_book.LogSortColumn = -1;
    reload(list);
}

// A list view destroys its small images with itself unless they are shared; taking
// them back while it lives leaves both lists to the dialog, released exactly once.
void destroying(HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_LOG_LIST, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
}

void destroyed(HWND dialog) {
    auto* images = reinterpret_cast<LogViewerImages*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (images == nullptr)
        return;
    for (HIMAGELIST list : {images->rows, images->header}) {
        if (list != nullptr)
            ImageList_Destroy(list);
    }
    delete images;
}

void command(HWND dialog, int id) {
    HWND list = GetDlgItem(dialog, IDC_LOG_LIST);
    switch (id) {
    case IDOK:
    case IDCANCEL:
        EndDialog(dialog, id);
        break;
    case IDC_REFRESH:
        log_book.LogSortColumn = -1;
        clearLogSortArrows(list);
        reload(list);
        break;
    case IDC_VIEW_LOG_FILE:
        ShellExecuteA(nullptr, "open", currentSettings()->LogFile.c_str(), nullptr, nullptr, SW_SHOW);
        break;
    default:
        break;
    }
}

void columnClicked(HWND dialog, int column) {
    if (column < 0 || column >= kLogColumnCount)
        return;
    HWND list = GetDlgItem(dialog, IDC_LOG_LIST);
    DebugTrace("%s: sort column %d", TRACE_TAG, column);
    sortLog(column, log_book);
    clearLogSortArrows(list);
    setLogSortArrow(list, log_book.LogSortColumn, log_book.LogSortAscending);
    fillLogList(list);
}

} // namespace

INT_PTR CALLBACK LogViewerProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    try {
        if (message == WM_INITDIALOG) {
            initialise(dialog);
        } else if (message == WM_DESTROY) {
            destroying(dialog);
        } else if (message == WM_NCDESTROY) {
            destroyed(dialog);
        } else if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
            command(dialog, LOWORD(wparam));
        } else if (message == WM_NOTIFY && wparam == IDC_LOG_LIST) {
            const auto* notice = reinterpret_cast<const NMHDR*>(lparam);
            if (notice->code == LVN_COLUMNCLICK)
                columnClicked(dialog, reinterpret_cast<const NMLISTVIEW*>(lparam)->iSubItem);
        }
    } catch (...) {
    }
    return FALSE;
}
