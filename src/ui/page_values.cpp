#include "ui/page_values.h"

#include <cstdlib>
#include <limits>

namespace {

constexpr uint32_t kIntervalWhenUnreadable = 30;
constexpr uint32_t kShortestInterval = 5;

std::string cut(const std::string& text, size_t longest) {
    return text.size() > longest ? text.substr(0, longest) : text;
}

} // namespace

uint32_t parsePresenceInterval(const std::string& text) {
    // strtol reads what "%d" reads (blanks, a sign, digits) without its undefined
    // overflow: a number too long for an int is held at the int's limit.
    const char* start = text.c_str();
    char* end = nullptr;
    long minutes = std::strtol(start, &end, 10);
    if (end == start)
        return kIntervalWhenUnreadable;
    if (minutes > std::numeric_limits<int32_t>::max())
        minutes = std::numeric_limits<int32_t>::max();
    if (minutes < std::numeric_limits<int32_t>::min())
        minutes = std::numeric_limits<int32_t>::min();
    const auto interval = static_cast<uint32_t>(static_cast<int32_t>(minutes));
    return interval < kShortestInterval ? kShortestInterval : interval;
}

void applyPageValues(const PageValues& values, PluginSettings& settings) {
    if (values.shares_read) {
        settings.Sources.clear();
        for (const SourceRow& row : values.source_rows) {
            if (row.state_image != kRowUnchecked)
                settings.Sources.push_back(
                    SourceEntry{cut(row.name, kSourceCellMax), cut(row.path, kSourceCellMax)});
        }
    }
    settings.SourceWatchMode = values.sources_only ? SourcesOnly : SourcesOnlyLogAll;

    settings.PersistentAlerts = values.persistent_alerts ? 1 : 0;
    if (values.plugin_mode_selection >= 0)
        settings.PluginMode = values.plugin_mode_selection;
    settings.LogFile = cut(values.log_file, kPageTextMax);
    settings.WindowsEventLog = values.windows_event_log ? 1 : 0;

    settings.DisplayEnterEvents = values.display_enter ? 1 : 0;
    settings.EnterEventsMessage = cut(values.enter_message, kPageTextMax);
    settings.DisplayLeaveEvents = values.display_leave ? 1 : 0;
    settings.LeaveEventsMessage = cut(values.leave_message, kPageTextMax);
    settings.DisplayPresenceEvents = values.display_presence ? 1 : 0;
    settings.PresenceEventsMessage = cut(values.presence_message, kPageTextMax);
    settings.PresenceUpdateInterval = parsePresenceInterval(values.presence_interval);
    settings.DisplayFileEvents = values.display_file ? 1 : 0;
    settings.FileEventsMessage = cut(values.file_message, kPageTextMax);
    if (values.visitors_read)
        settings.VisitorRules = values.visitor_rules;
}
