#include "plugin/win32/file_watch.h"
#include "base/trace.h"
#include "config/settings_store.h"

namespace {

bool fileEventsOn() {
    const SettingsSnapshot settings = currentSettings();
    return settings && settings->PluginMode != Inactive &&
           (settings->LogFileEvents != 0 || settings->DisplayFileEvents != 0);
}

} // namespace

FileWatch::~FileWatch() {
    client_.disconnectBoth();
}

void FileWatch::poll(std::vector<ShareEvent>& events) {
    if (!fileEventsOn()) {
        if (client_.isConnected())
            DebugTrace("%s: open files: off", TRACE_TAG);
        client_.disconnectBoth();
        tracked_.clear();
        namespace_missing_ = false;
        return;
    }
    if (namespace_missing_)
        return;
    if (!client_.isConnected()) {
        const int code = client_.connectBoth();
        if (code != 0) {
            namespace_missing_ = client_.namespaceMissing();
            DebugTrace(namespace_missing_ ? "%s: open files: no SMB namespace (Windows 8 or later needed)"
                                          : "%s: open files: error connecting : [%d]!",
                       TRACE_TAG, code);
            client_.disconnectBoth();
            return;
        }
        DebugTrace("%s: open files: connecting OK", TRACE_TAG);
    }
    // A failed read says nothing about the files: they are kept as they were, not closed.
    if (client_.getOpenFiles(snapshot_) != 0)
        return;
    std::vector<ShareEvent> changes;
    detectFileEvents(tracked_, snapshot_, changes);
    events.insert(events.end(), changes.begin(), changes.end());
}
