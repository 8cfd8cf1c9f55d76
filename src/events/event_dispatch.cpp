#include "events/event_dispatch.h"

#include "base/trace.h"
#include "config/preferences.h"
#include "config/settings_store.h"
#include "events/event_log.h"
#include "events/file_event_dispatch.h"
#include "events/message_template.h"
#include "events/rights_notice.h"
#include "events/windows_event_log.h"

namespace {

bool modeLogs(int32_t mode) {
    return mode == LogEvents || mode == ShowAndLogEvents;
}

bool modeShows(int32_t mode) {
    return mode == ShowEvents || mode == ShowAndLogEvents;
}

void deliver(const PluginSettings& settings, const ShareEvent& event, bool test) {
    if (settings.PluginMode == Inactive)
        return;
    if (isFileEvent(event.Kind)) {
        deliverFileEvent(settings, event, test);
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

    expandMessage(event, text);

    if (event.Kind != EventKind::Presence && modeLogs(settings.PluginMode) && !test) {
        if (settings.SourceWatchMode != SourcesOnly || findSourceIn(settings, share)) {
            writeEvent(event);
            reportToWindowsEventLog(settings, event);
        }
    }

    if (modeShows(settings.PluginMode)) {
        if (!test && !findSourceIn(settings, share))
            return;
        platformRequestAlert(text, &event.Connection, settings.PersistentAlerts);
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
    try {
        // One snapshot for the whole event, so a concurrent apply of the
        // preferences never mixes old and new settings within it.
        const SettingsSnapshot settings = currentSettings();
        if (settings)
            deliver(*settings, event, test);
    } catch (...) {
        // Out of memory while copying texts: the event is dropped; the
        // watcher and the UI thread carry on.
    }
}
