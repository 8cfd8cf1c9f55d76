#include "events/file_event_dispatch.h"

#include "base/trace.h"
#include "config/preferences.h"
#include "events/event_dispatch.h"
#include "events/event_log.h"
#include "events/message_template.h"
#include "events/visitor_decision.h"
#include "events/windows_event_log.h"

bool isFileEvent(EventKind kind) {
    return kind == EventKind::FileOpened || kind == EventKind::FileClosed;
}

bool fileEventNeedsHostName(const PluginSettings& settings, const ShareEvent& event) {
    return settings.PluginMode != Inactive && isFileEvent(event.Kind) &&
           (settings.LogFileEvents != 0 || settings.DisplayFileEvents != 0);
}

void deliverFileEvent(const PluginSettings& settings, const ShareEvent& event, bool test,
                      std::string* log_batch) {
    const int32_t mode = settings.PluginMode;
    const char* share = event.Connection.ShareName.c_str();
    const bool opened = event.Kind == EventKind::FileOpened;
    // As for the other events: only names known by now on the watcher thread, and the visitor rules.
    const NameWait names = test ? NameWait::LookUp : NameWait::KnownOnly;
    const VisitorAction visitor = test ? NoChange : visitorActionFor(settings, event.Connection, names);
    if (!test) {
        DebugTrace("%s: %s:%s [%s]", TRACE_TAG, opened ? "OPEN" : "CLOSE", share, event.FileName.c_str());
        const bool logs = mode == LogEvents || mode == ShowAndLogEvents;
        if (logs && settings.LogFileEvents != 0 && visitorLogs(visitor) &&
            (settings.SourceWatchMode != SourcesOnly || findSourceIn(settings, share))) {
            writeEvent(event, names, log_batch);
            reportToWindowsEventLog(settings, event, names);
        }
    }
    if (!opened || log_batch != nullptr || (mode != ShowEvents && mode != ShowAndLogEvents))
        return;
    if (!test &&
        (settings.DisplayFileEvents == 0 || !visitorAlerts(visitor) || !findSourceIn(settings, share)))
        return;
    std::string text = settings.FileEventsMessage;
    expandMessage(event, text, names);
    platformRequestAlert(text, &event.Connection, settings.PersistentAlerts);
}
