#include "ui/win32/update_preferences.h"
#include "base/trace.h"
#include "config/settings_store.h"
#include "events/event_log.h"
#include "resource_ids.h"
#include "ui/page_values.h"
#include "ui/win32/dialog_controls.h"
#include "ui/win32/preference_pages.h"
#include "ui/win32/prefs_window.h"

#include <commctrl.h>

namespace {

// Buffers as the pages have always been read through: a cell keeps 1023
// characters, an edit 2047.
constexpr size_t kCellBuffer = kSourceCellMax + 1;
constexpr size_t kTextBuffer = kPageTextMax + 1;

std::string cellText(HWND list, int row, int column) {
    char buffer[kCellBuffer] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = static_cast<int>(sizeof buffer);
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

LPARAM rowParameter(HWND list, int row) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

void readSourcesPage(HWND page, PageValues& values) {
    values.shares_read = sourcesPageReadShares(page);
    HWND list = GetDlgItem(page, IDC_SOURCES_LIST);
    // The count is asked again after every row.
    for (int row = 0; row < static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); ++row) {
        SourceRow source;
        // A source that no share names shows a note for its path; it keeps the stored one.
        if (const SourceEntry* kept = sourcesPageNotShared(page, rowParameter(list, row))) {
            source.name = kept->SourceName;
            source.path = kept->SourcePath;
        } else {
            source.name = cellText(list, row, 0);
            source.path = cellText(list, row, 1);
        }
        const auto state = static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
        source.state_image = static_cast<int>((state & LVIS_STATEIMAGEMASK) >> 12);
        values.source_rows.push_back(source);
    }
    values.sources_only = isChecked(page, IDC_SOURCES_ONLY);
}

void readGeneralPage(HWND page, PageValues& values) {
    values.persistent_alerts = isChecked(page, IDC_PERSISTENT_ALERTS);
    const LRESULT selected = SendDlgItemMessageA(page, IDC_PLUGIN_MODE, CB_GETCURSEL, 0, 0);
    values.plugin_mode_selection = selected == CB_ERR ? -1 : static_cast<int>(selected);
    values.log_file = controlText(page, IDC_LOG_FILE, kTextBuffer);
}

void readEventsPage(HWND page, PageValues& values) {
    values.display_enter = isChecked(page, IDC_DISPLAY_ENTER);
    values.enter_message = controlText(page, IDC_ENTER_MESSAGE, kTextBuffer);
    values.display_leave = isChecked(page, IDC_DISPLAY_LEAVE);
    values.leave_message = controlText(page, IDC_LEAVE_MESSAGE, kTextBuffer);
    values.display_presence = isChecked(page, IDC_DISPLAY_PRESENCE);
    values.presence_message = controlText(page, IDC_PRESENCE_MESSAGE, kTextBuffer);
    values.presence_interval = controlText(page, IDC_PRESENCE_INTERVAL, kTextBuffer);
}

} // namespace

void update_preferences(HWND window) {
    FunctionTracer tracer("update_preferences", "GLOBAL");
    if (!IsWindow(window))
        return;
    HWND general = preferencesPage(PrefsPage::General);
    HWND sources = preferencesPage(PrefsPage::Sources);
    HWND events = preferencesPage(PrefsPage::Events);
    // Pages that could not be created hold no values; they must not empty the settings.
    if (general != nullptr && sources != nullptr && events != nullptr) {
        PageValues values;
        readSourcesPage(sources, values);
        readGeneralPage(general, values);
        readEventsPage(events, values);
        // One swap: the watcher thread sees the old settings or the new, never a mix.
        updateSettings([&values](PluginSettings& settings) { applyPageValues(values, settings); });
    }
    const SettingsSnapshot settings = currentSettings();
    set_debug_trace(settings->DebugMode != 0);
    setLogPath(settings->LogFile.c_str());
}
