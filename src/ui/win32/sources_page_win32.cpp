// The Sources page: every share of this computer with a check box, checked when
// the share is a selected event source, and the watch mode.

#include "base/trace.h"
#include "config/preferences.h"
#include "config/settings_store.h"
#include "monitor/win32/wmi_share_enumerator.h"
#include "resource_ids.h"
#include "ui/page_values.h"
#include "ui/share_sort.h"
#include "ui/win32/dialog_controls.h"
#include "ui/win32/list_view.h"
#include "ui/win32/preference_pages.h"
#include "ui/win32/window_placement.h"

#include <vector>

namespace {

struct Column {
    const char* header;
    int width;
};
const Column kColumns[] = {{"Share Name", 100}, {"Share Path", 190}};

// What the page keeps of its last fill, in its dialog data from WM_INITDIALOG to
// WM_NCDESTROY.
struct SourcesPageState {
    bool shares_read = false;
    // The rows after the shares: row parameter n stands for entry n - 1.
    std::vector<SourceEntry> not_shared;
};

SourcesPageState* stateOf(HWND page) {
    return reinterpret_cast<SourcesPageState*>(GetWindowLongPtrA(page, DWLP_USER));
}

void addSourceRow(const ListView& list, const char* name, const char* path, bool checked,
                  LPARAM parameter = 0) {
    const int inserted = list.insertItemWithParam(list.itemCount(), name, parameter);
    // Row -1 would stand for every row: its check mark would go to all of them.
    if (inserted < 0)
        return;
    list.setItemText(inserted, 1, path);
    list.setStateImage(inserted, checked ? kRowChecked : kRowUnchecked);
}

void setAllSourceChecks(HWND page, bool checked) {
    const ListView list(GetDlgItem(page, IDC_SOURCES_LIST));
    const int rows = list.itemCount();
    for (int row = 0; row < rows; ++row)
        list.setStateImage(row, checked ? kRowChecked : kRowUnchecked);
}

// Lists the shares, sorted by name, each checked when it is a selected source;
// when they were read, the selected sources that no share names follow, checked.
// True when the shares could be read; the list stays empty when they could not.
bool fillSourcesList(const ListView& list, std::vector<SourceEntry>& not_shared) {
    list.deleteAllItems();
    not_shared.clear();
    CShareEnumerator enumerator;
    const int connected = enumerator.connect();
    if (connected != 0) {
        DebugTrace("%s: CShareEnumerator::connect = %d", TRACE_TAG, connected);
        return false;
    }
    std::vector<ShareInfo> shares;
    const int read = enumerator.getShares(shares);
    enumerator.disconnect();
    sortSharesByName(shares);
    if (read == 0)
        not_shared = sourcesNotShared(currentSettings()->Sources, shares);
    // One repaint for the whole list: row by row, 10,000 shares took seconds.
    list.setRedraw(false);
    list.setItemCount(shares.size() + not_shared.size());
    for (const ShareInfo& share : shares)
        addSourceRow(list, share.Name.c_str(), share.Path.c_str(), find_source(share.Name.c_str()));
    for (size_t index = 0; index < not_shared.size(); ++index)
        addSourceRow(list, not_shared[index].SourceName.c_str(), kNotSharedNow, true,
                     static_cast<LPARAM>(index + 1));
    list.setRedraw(true);
    return read == 0;
}

void refresh(HWND page) {
    SourcesPageState* state = stateOf(page);
    if (state != nullptr)
        state->shares_read = fillSourcesList(ListView(GetDlgItem(page, IDC_SOURCES_LIST)), state->not_shared);
}

void initialise(HWND page) {
    fitPageToTab(page, GetDlgItem(GetParent(page), IDC_TABS));
    const ListView list(GetDlgItem(page, IDC_SOURCES_LIST));
    list.setExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    const int32_t watch_mode = currentSettings()->SourceWatchMode;
    DebugTrace("%s: sourcesWatchMode = %d", TRACE_TAG, watch_mode);
    setChecked(page, IDC_SOURCES_ONLY, watch_mode == SourcesOnly);
    setChecked(page, IDC_SOURCES_ONLY_LOG_ALL, watch_mode != SourcesOnly);
    int index = 0;
    for (const Column& column : kColumns)
        list.insertColumn(index++, column.header, column.width);
    refresh(page);
}

} // namespace

bool sourcesPageReadShares(HWND page) {
    const SourcesPageState* state = page != nullptr ? stateOf(page) : nullptr;
    return state != nullptr && state->shares_read;
}

const SourceEntry* sourcesPageNotShared(HWND page, LPARAM row_parameter) {
    const SourcesPageState* state = page != nullptr ? stateOf(page) : nullptr;
    if (state == nullptr || row_parameter < 1 ||
        static_cast<size_t>(row_parameter) > state->not_shared.size())
        return nullptr;
    return &state->not_shared[static_cast<size_t>(row_parameter) - 1];
}

INT_PTR CALLBACK SourcesPageProc(HWND page, UINT message, WPARAM wparam, LPARAM) {
    try {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(new SourcesPageState));
            initialise(page);
        } else if (message == WM_NCDESTROY) {
            delete stateOf(page);
            SetWindowLongPtrA(page, DWLP_USER, 0);
        } else if (message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
            switch (LOWORD(wparam)) {
            case IDC_REFRESH_SHARES:
                refresh(page);
                break;
            case IDC_SELECT_ALL_SOURCES:
                setAllSourceChecks(page, true);
                break;
            case IDC_UNSELECT_ALL_SOURCES:
                setAllSourceChecks(page, false);
                break;
            default:
                break;
            }
        }
    } catch (...) {
    }
    return FALSE;
}
