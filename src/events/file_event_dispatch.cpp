#include "events/file_event_dispatch.h"

#include "base/trace.h"
#include "config/preferences.h"
#include "events/event_dispatch.h"
#include "events/event_log.h"
#include "events/message_template.h"
#include "events/windows_event_log.h"

bool isFileEvent(EventKind kind) {
    return kind == EventKind::FileOpened || kind == EventKind::FileClosed;
}

void deliverFileEvent(const PluginSettings& settings, const ShareEvent& event, bool test) {
    const int32_t mode = settings.PluginMode;
    const char* share = event.Connection.ShareName.c_str();
    const bool opened = event.Kind == EventKind::FileOpened;
    if (!test) {
        DebugTrace("%s: %s:%s [%s]", TRACE_TAG, opened ? "OPEN" : "CLOSE", share, event.FileName.c_str());
        const bool logs = mode == LogEvents || mode == ShowAndLogEvents;
        if (logs && settings.LogFileEvents != 0 &&
            (settings.SourceWatchMode != SourcesOnly || findSourceIn(settings, share))) {
            writeEvent(event);
            reportToWindowsEventLog(settings, event);
        }
    }
    if (!opened || (mode != ShowEvents && mode != ShowAndLogEvents))
        return;
    if (!test && (settings.DisplayFileEvents == 0 || !findSourceIn(settings, share)))
        return;
    std::string text = settings.FileEventsMessage;
    expandMessage(event, text);
    platformRequestAlert(text, &event.Connection, settings.PersistentAlerts);
}
