// The log viewer: the event log read back and shown grouped by day, each day
// sortable by a click on a column header. The list holds no rows of its own: it
// asks for each one it shows (owner data), so a log of any size opens at the cost
// of reading it.

#include "base/trace.h"
#include "config/settings_store.h"
#include "resource_ids.h"
#include "ui/log_model.h"
#include "ui/win32/icon_list.h"
#include "ui/win32/sortable_list_dialog.h"
#include "ui/win32/viewers.h"

#include <shellapi.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

const char* const kHeaders[kLogColumnCount] = {"Time",          "Event",      "User", "Computer IP",
                                               "Computer Name", "Share Name", "File"};
constexpr int kInitialColumnWidth = 200;
// Row images: the two events, a date row, a spacer row, the files' events and actions.
const int kRowIcons[] = {IDI_LOG_ENTER, IDI_LOG_LEAVE, IDI_LOG_DATE, IDI_LOG_SPACER, IDI_LOG_FILE};
constexpr int kDateImage = 2;
constexpr int kSpacerImage = 3;
// Each day shows as a spacer, its date and a spacer, then its entries.
constexpr size_t kDayHeadRows = 3;

// The sort state lives as long as the library, the days while the viewer is open; UI thread only.
LogBook log_book;

// One row of the list: an entry's, a day's date row (no entry), or a spacer (neither).
struct LogRow {
    const LogDay* day = nullptr;
    const LogEntry* entry = nullptr;
};

std::string_view rowText(const LogRow& row, int column) {
    if (row.entry != nullptr)
        return logEntryField(log_book, *row.entry, column);
    return row.day != nullptr && column == 0 ? logDayDate(log_book, *row.day) : std::string_view();
}

int rowImage(const LogRow& row) {
    if (row.entry != nullptr)
        return logRowImage(logEntryField(log_book, *row.entry, 1));
    return row.day != nullptr ? kDateImage : kSpacerImage;
}

// Text widths in the list's font, each text measured once. The texts are the log's,
// which outlive the measuring.
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

    LONG operator()(std::string_view text) {
        auto found = measured_.find(text);
        if (found != measured_.end())
            return found->second;
        return measured_.emplace(text, measure(text)).first->second;
    }

    // Each byte's width alone, where the code page has one byte a character; false
    // where it has more.
    bool byteWidths(LONG (&widths)[256]) {
        CPINFO code_page{};
        if (!GetCPInfo(CP_ACP, &code_page) || code_page.MaxCharSize != 1)
            return false;
        widths[0] = 0; // a NUL byte ends a line: no text holds one
        for (int byte = 1; byte < 256; ++byte) {
            const char c = static_cast<char>(byte);
            widths[byte] = measure(std::string_view(&c, 1));
        }
        return true;
    }

private:
    LONG measure(std::string_view text) const {
        SIZE size{};
        GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
        return size.cx;
    }

    HWND list_;
    HDC dc_;
    HGDIOBJ old_font_ = nullptr;
    std::unordered_map<std::string_view, LONG> measured_;
};

// Sizing measures every row of every column several times: seconds for a big log.
// A column's width is the widest of its rows', and a row's width depends only on
// its text, image and indent, so the rows widest in their column for each image
// give the same widths as all of them. They are sized alone first, with as many
// spacer rows as the whole log needs to show its vertical scroll bar.
constexpr size_t kRowsSizedDirectly = 1000;

// The widest rows by `width` of each text.
template <typename Width> std::vector<LogRow> widestRows(Width width) {
    std::vector<LogRow> rows;
    const LogDay* widest_day = nullptr;
    LONG widest_date = 0;
    // Per column, per row image (ENTER, LEAVE, none in the date's place, file): the widest entry.
    LogRow widest[kLogColumnCount][kLogFileImage + 1] = {};
    LONG widest_width[kLogColumnCount][kLogFileImage + 1] = {};
    for (const LogDay& day : log_book.Days) {
        const LONG date = width(logDayDate(log_book, day));
        if (widest_day == nullptr || date > widest_date) {
            widest_day = &day;
            widest_date = date;
        }
        for (const LogEntry& entry : day.Entries) {
            const int image = logRowImage(logEntryField(log_book, entry, 1));
            const int kind = image < 0 ? 2 : image;
            const char* text = log_book.Text.data() + entry.Start;
            for (int column = 0; column < kLogColumnCount; ++column) {
                const LONG w = width(std::string_view(text, entry.Lengths[column]));
                text += entry.Lengths[column];
                if (widest[column][kind].entry == nullptr || w > widest_width[column][kind]) {
                    widest[column][kind] = {&day, &entry};
                    widest_width[column][kind] = w;
                }
            }
        }
    }
    if (widest_day != nullptr)
        rows.insert(rows.end(), {LogRow{}, LogRow{widest_day, nullptr}, LogRow{}});
    for (const auto& column : widest) {
        for (const LogRow& row : column) {
            if (row.entry != nullptr)
                rows.push_back(row);
        }
    }
    return rows;
}

// Measuring each text of a big log alone takes a second or more. Where a text is
// as wide as its bytes together, their sum finds the same rows in a few ms; the
// rows found are measured to show that it held for them, else every text is.
std::vector<LogRow> widestRows(HWND list) {
    ListTextWidths width(list);
    LONG byte_widths[256];
    if (width.byteWidths(byte_widths)) {
        const auto summed = [&byte_widths](std::string_view text) {
            LONG sum = 0;
            for (const char c : text)
                sum += byte_widths[static_cast<unsigned char>(c)];
            return sum;
        };
        std::vector<LogRow> rows = widestRows(summed);
        const bool held = std::all_of(rows.begin(), rows.end(), [&](const LogRow& row) {
            for (int column = 0; column < kLogColumnCount; ++column) {
                const std::string_view text = rowText(row, column);
                if (width(text) != summed(text))
                    return false;
            }
            return true;
        });
        if (held)
            return rows;
    }
    return widestRows([&width](std::string_view text) { return width(text); });
}

class LogViewer : public SortableListDialog {
public:
    explicit LogViewer(HWND dialog)
        : SortableListDialog(dialog, {IDC_LOG_LIST, kHeaders, kLogColumnCount, kInitialColumnWidth}) {}
    // The log's text and days are given back to the host's address space; the next
    // opening reads the file again anyway.
    ~LogViewer() override { releaseLogDays(log_book); }

protected:
    HIMAGELIST makeRowImages(int size) override {
        return createIconList(kRowIcons, std::size(kRowIcons), size);
    }

    void resetSort() override { log_book.LogSortColumn = -1; }

    void fill() override {
        // A log that cannot be read leaves the days shown before, and says why.
        std::string why;
        const bool read = loadLogFile(currentSettings()->LogFile, log_book, &why);
        HWND status = GetDlgItem(dialog(), IDC_LOG_STATUS);
        SetWindowTextA(status, read ? "" : ("The log could not be read: " + why).c_str());
        ShowWindow(status, read ? SW_HIDE : SW_SHOW);
        showRows();
    }

    void sortBy(int column, int& sorted_column, bool& ascending) override {
        DebugTrace("%s: sort column %d", TRACE_TAG, column);
        sortLog(column, log_book);
        sorted_column = log_book.LogSortColumn;
        ascending = log_book.LogSortAscending;
        // The same rows in another order: the columns keep their widths, and only
        // the rows in view are asked for again.
        list().showReorderedFromTop();
    }

    bool command(int id) override {
        if (id != IDC_VIEW_LOG_FILE)
            return false;
        ShellExecuteA(nullptr, "open", currentSettings()->LogFile.c_str(), nullptr, nullptr, SW_SHOW);
        return true;
    }

    bool notify(const NMHDR& notice) override {
        if (notice.code != LVN_GETDISPINFOA)
            return false;
        LVITEMA& item = const_cast<NMLVDISPINFOA&>(reinterpret_cast<const NMLVDISPINFOA&>(notice)).item;
        const LogRow row = rowAt(item.iItem);
        if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
            const std::string_view text = rowText(row, item.iSubItem);
            const size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax) - 1);
            std::copy_n(text.data(), length, item.pszText);
            item.pszText[length] = '\0';
        }
        if ((item.mask & LVIF_IMAGE) != 0) {
            const int image = rowImage(row);
            item.iImage = image < 0 ? I_IMAGENONE : image;
        }
        if ((item.mask & LVIF_INDENT) != 0)
            item.iIndent = row.entry != nullptr ? 1 : 0;
        return true;
    }

private:
    // The list's row `index`: while sizing, one of the rows sized; else the log's.
    LogRow rowAt(int index) const {
        if (index < 0)
            return {};
        const auto at = static_cast<size_t>(index);
        if (sizing_)
            return at < sizing_rows_.size() ? sizing_rows_[at] : LogRow{};
        const auto next = std::upper_bound(day_starts_.begin(), day_starts_.end(), at);
        if (next == day_starts_.begin())
            return {};
        const size_t day_index = static_cast<size_t>(next - day_starts_.begin()) - 1;
        const LogDay& day = log_book.Days[day_index];
        const size_t offset = at - day_starts_[day_index];
        if (offset < kDayHeadRows)
            return offset == 1 ? LogRow{&day, nullptr} : LogRow{};
        return offset - kDayHeadRows < day.Entries.size() ? LogRow{&day, &day.Entries[offset - kDayHeadRows]}
                                                          : LogRow{};
    }

    // The entries' rows are indented by one step, a row image's width, in column 0.
    int indent(int column) const {
        int width = 0;
        int height = 0;
        return column == 0 && ImageList_GetIconSize(ListView_GetImageList(list().window(), LVSIL_SMALL),
                                                    &width, &height)
                   ? width
                   : 0;
    }

    // Shows the days from the top, nothing selected, the columns fitted to them.
    void showRows() {
        const ListView& rows = list();
        rows.setRedraw(false);
        rows.deleteAllItems();
        day_starts_.clear();
        size_t count = 0;
        for (const LogDay& day : log_book.Days) {
            day_starts_.push_back(count);
            count += kDayHeadRows + day.Entries.size();
        }
        if (count > kRowsSizedDirectly) {
            sizing_rows_ = widestRows(rows.window());
            sizing_ = true;
            rows.setItemCount(sizing_rows_.size());
            const auto page = static_cast<size_t>(rows.countPerPage());
            if (sizing_rows_.size() <= page) {
                sizing_rows_.resize(page + 1);
                rows.setItemCount(sizing_rows_.size());
            }
            int widths[kLogColumnCount] = {};
            for (int column = 0; column < kLogColumnCount; ++column)
                widths[column] = rows.fitColumn(column, indent(column));
            rows.deleteAllItems();
            sizing_ = false;
            sizing_rows_.clear();
            rows.setItemCount(count);
            for (int column = 0; column < kLogColumnCount; ++column)
                rows.setColumnWidth(column, widths[column]);
        } else {
            rows.setItemCount(count);
            for (int column = 0; column < kLogColumnCount; ++column)
                rows.fitColumn(column, indent(column));
        }
        rows.setRedraw(true);
    }

    std::vector<size_t> day_starts_; // the list's first row of each day
    bool sizing_ = false;
    std::vector<LogRow> sizing_rows_;
};

} // namespace

INT_PTR CALLBACK LogViewerProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    return SortableListDialog::procedure<LogViewer>(dialog, message, wparam, lparam);
}
