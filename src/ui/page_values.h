#pragma once
// What Apply and OK read off the preference pages, and how it becomes settings.
// The pages are read into PageValues first, then applied to a copy of the
// settings that is swapped in whole, so the watcher never sees half an apply.

#include "config/plugin_settings.h"

#include <cstdint>
#include <string>
#include <vector>

// Longest text an edit of the pages contributes, and one cell of the Sources list.
constexpr size_t kPageTextMax = 2047;
constexpr size_t kSourceCellMax = 1023;

// State images of a Sources row's check box.
constexpr int kRowUnchecked = 1;
constexpr int kRowChecked = 2;

struct SourceRow {
    std::string name;
    std::string path;
    int state_image = kRowChecked; // 0 (no box) and 2 count as selected
};

struct PageValues {
    // The flags first, kept together so the record has no holes between them.
    // Sources page. When its last fill could not read the shares the list says
    // nothing about them, and the stored sources are kept.
    bool shares_read = false;
    bool visitors_read = false; // whether visitor_rules, below, come from the Visitors page
    bool sources_only = false;  // radio "selected sources only" checked
    // General page.
    bool persistent_alerts = false;
    bool windows_event_log = false;
    // Events page.
    bool display_enter = false;
    bool display_leave = false;
    bool display_presence = false;
    bool display_file = false;
    int plugin_mode_selection = -1; // the General page's mode box's selected index; -1 none
    std::vector<SourceRow> source_rows;
    std::string log_file;
    std::string enter_message;
    std::string leave_message;
    std::string presence_message;
    std::string presence_interval; // as typed
    std::string file_message;
    // Visitors page: its rules in order, when the page exists.
    std::vector<VisitorRule> visitor_rules;
};

// The interval typed in minutes: the leading decimal number ("%d"), 30 when there
// is none, and at least 5 (compared unsigned, so a negative number is kept as read).
uint32_t parsePresenceInterval(const std::string& text);

// Copies the page values into `settings`; leaves DebugMode as it is, and the
// visitor rules when the Visitors page was not read.
void applyPageValues(const PageValues& values, PluginSettings& settings);
