#include "ui/win32/update_preferences.h"
#include "base/trace.h"
#include "config/settings_store.h"
#include "events/event_log.h"
#include "resource_ids.h"
#include "ui/page_values.h"
#include "ui/win32/dialog_controls.h"
#include "ui/win32/list_view.h"
#include "ui/win32/preference_pages.h"
#include "ui/win32/prefs_window.h"

namespace {

// Buffers as the pages have always been read through: a cell keeps 1023
// characters, an edit 2047.
constexpr size_t kCellBuffer = kSourceCellMax + 1;
constexpr size_t kTextBuffer = kPageTextMax + 1;

void readSourcesPage(HWND page, PageValues& values) {
    values.shares_read = sourcesPageReadShares(page);
    const ListView list(GetDlgItem(page, IDC_SOURCES_LIST));
    // The count is asked again after every row.
    for (int row = 0; row < list.itemCount(); ++row) {
        SourceRow source;
        // A source that no share names shows a note for its path; it keeps the stored one.
        if (const SourceEntry* kept = sourcesPageNotShared(page, list.itemParam(row))) {
            source.name = kept->SourceName;
            source.path = kept->SourcePath;
        } else {
            source.name = list.itemText(row, 0, kCellBuffer);
            source.path = list.itemText(row, 1, kCellBuffer);
        }
        source.state_image = list.stateImage(row);
        values.source_rows.push_back(source);
    }
    values.sources_only = isChecked(page, IDC_SOURCES_ONLY);
}

void readGeneralPage(HWND page, PageValues& values) {
    values.persistent_alerts = isChecked(page, IDC_PERSISTENT_ALERTS);
    const LRESULT selected = SendDlgItemMessageA(page, IDC_PLUGIN_MODE, CB_GETCURSEL, 0, 0);
    values.plugin_mode_selection = selected == CB_ERR ? -1 : static_cast<int>(selected);
    values.log_file = controlText(page, IDC_LOG_FILE, kTextBuffer);
    values.windows_event_log = isChecked(page, IDC_WINDOWS_EVENT_LOG);
}

void readEventsPage(HWND page, PageValues& values) {
    values.display_enter = isChecked(page, IDC_DISPLAY_ENTER);
    values.enter_message = controlText(page, IDC_ENTER_MESSAGE, kTextBuffer);
    values.display_leave = isChecked(page, IDC_DISPLAY_LEAVE);
    values.leave_message = controlText(page, IDC_LEAVE_MESSAGE, kTextBuffer);
    values.display_presence = isChecked(page, IDC_DISPLAY_PRESENCE);
    values.presence_message = controlText(page, IDC_PRESENCE_MESSAGE, kTextBuffer);
    values.presence_interval = controlText(page, IDC_PRESENCE_INTERVAL, kTextBuffer);
    values.display_file = isChecked(page, IDC_DISPLAY_FILE);
    values.file_message = controlText(page, IDC_FILE_MESSAGE, kTextBuffer);
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
        if (const std::vector<VisitorRule>* rules = visitorsPageRules(preferencesPage(PrefsPage::Visitors))) {
            values.visitors_read = true;
            values.visitor_rules = *rules;
        }
        // One swap: the watcher thread sees the old settings or the new, never a mix.
        updateSettings([&values](PluginSettings& settings) { applyPageValues(values, settings); });
    }
    const SettingsSnapshot settings = currentSettings();
    set_debug_trace(settings->DebugMode != 0);
    setLogPath(settings->LogFile.c_str());
}
