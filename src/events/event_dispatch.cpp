#include "events/event_dispatch.h"

#include "base/trace.h"
#include "config/preferences.h"
#include "config/settings_store.h"
#include "events/event_log.h"
#include "events/file_event_dispatch.h"
#include "events/message_template.h"
#include "events/rights_notice.h"
#include "events/visitor_decision.h"
#include "events/windows_event_log.h"

#include <algorithm>

namespace {

bool modeLogs(int32_t mode) {
    return mode == LogEvents || mode == ShowAndLogEvents;
}

bool modeShows(int32_t mode) {
    return mode == ShowEvents || mode == ShowAndLogEvents;
}

// Real events use only the host names known by now: the watcher asked for them
// before and waited as long as it would. With `log_batch`, only the log line,
// added to the batch.
void deliver(const PluginSettings& settings, const ShareEvent& event, bool test, std::string* log_batch) {
    if (settings.PluginMode == Inactive)
        return;
    if (isFileEvent(event.Kind)) {
        deliverFileEvent(settings, event, test, log_batch);
        return;
    }

    const char* share = event.Connection.ShareName.c_str();
    std::string text;
    int32_t display = 0;
    switch (event.Kind) {
    case EventKind::Enter:
        text = settings.EnterEventsMessage;
        if (!test)
            DebugTrace("%s: ADD:%s", TRACE_TAG, share);
        display = settings.DisplayEnterEvents;
        break;
    case EventKind::Leave:
        text = settings.LeaveEventsMessage;
        if (!test)
            DebugTrace("%s: REM:%s", TRACE_TAG, share);
        display = settings.DisplayLeaveEvents;
        break;
    case EventKind::Presence:
        text = settings.PresenceEventsMessage;
        if (!test)
            DebugTrace("%s: PRESENCE:%s", TRACE_TAG, share);
        display = settings.DisplayPresenceEvents;
        break;
    default:
        return; // no template, no switch: nothing to deliver
    }
    if (display == 0 && !test)
        return;

    const NameWait names = test ? NameWait::LookUp : NameWait::KnownOnly;
    const VisitorAction visitor = test ? NoChange : visitorActionFor(settings, event.Connection, names);
    const bool alerts = log_batch == nullptr && visitorAlerts(visitor);
    if (alerts)
        expandMessage(event, text, names);

    if (event.Kind != EventKind::Presence && modeLogs(settings.PluginMode) && !test && visitorLogs(visitor)) {
        if (settings.SourceWatchMode != SourcesOnly || findSourceIn(settings, share)) {
            writeEvent(event, names, log_batch);
            reportToWindowsEventLog(settings, event, names);
        }
    }

    if (alerts && modeShows(settings.PluginMode)) {
        if (!test && !findSourceIn(settings, share))
            return;
        platformRequestAlert(text, &event.Connection, settings.PersistentAlerts);
    }
}

// Whether deliver would name the computer: in the log line, or in the template.
bool needsHostName(const PluginSettings& settings, const ShareEvent& event) {
    const std::string* text = nullptr;
    int32_t display = 0;
    switch (event.Kind) {
    case EventKind::Enter:
        text = &settings.EnterEventsMessage;
        display = settings.DisplayEnterEvents;
        break;
    case EventKind::Leave:
        text = &settings.LeaveEventsMessage;
        display = settings.DisplayLeaveEvents;
        break;
    case EventKind::Presence:
        text = &settings.PresenceEventsMessage;
        display = settings.DisplayPresenceEvents;
        break;
    default:
        return fileEventNeedsHostName(settings, event);
    }
    if (settings.PluginMode == Inactive || display == 0)
        return false;
    // As findSourceIn decides, without its trace line.
    const bool selected =
        std::any_of(settings.Sources.begin(), settings.Sources.end(),
                    [&event](const SourceEntry& s) { return s.SourceName == event.Connection.ShareName; });
    const bool logged = event.Kind != EventKind::Presence && modeLogs(settings.PluginMode) &&
                        (settings.SourceWatchMode != SourcesOnly || selected);
    return logged || text->find("$ComputerRealName$") != std::string::npos;
}

// Runs `action` with one snapshot of the settings, so a concurrent apply of the
// preferences never mixes old and new settings within it.
template <typename Action> void withSettings(Action action) {
    try {
        const SettingsSnapshot settings = currentSettings();
        if (settings)
            action(*settings);
    } catch (...) {
        // Out of memory while copying texts: the event is dropped; the
        // watcher and the UI thread carry on.
    }
}

} // namespace

bool dispatchRightsNotice(const std::string& host_program) {
    try {
        const SettingsSnapshot settings = currentSettings();
        if (!settings)
            return false;
        const bool reported =
            modeLogs(settings->PluginMode) && reportRightsNoticeToWindowsEventLog(*settings, host_program);
        if (!modeShows(settings->PluginMode))
            return reported;
        platformRequestAlert(rightsNoticeText(host_program), nullptr, settings->PersistentAlerts);
        return true;
    } catch (...) {
        return false;
    }
}

void dispatchEvent(const ShareEvent& event, bool test) {
    withSettings([&](const PluginSettings& settings) { deliver(settings, event, test, nullptr); });
}

void dispatchEventLogOnly(const ShareEvent& event, std::string& lines) {
    withSettings([&](const PluginSettings& settings) { deliver(settings, event, false, &lines); });
}

bool eventNeedsHostName(const ShareEvent& event) {
    bool needs = false;
    withSettings([&](const PluginSettings& settings) { needs = needsHostName(settings, event); });
    return needs;
}
