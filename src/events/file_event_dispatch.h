#pragma once
// What becomes of a file opened or closed on a share: a log line while
// LogFileEvents is on, an alert for an opened file while DisplayFileEvents is on.

#include "config/plugin_settings.h"
#include "monitor/share_event.h"

bool isFileEvent(EventKind kind);

// Delivers a FileOpened or FileClosed event under the settings, as dispatchEvent
// delivers the others: by plug-in mode, switch and selected sources; a test
// event is shown whatever they say and never logged. With `log_batch` (a
// stopped poll), only the log line, added to the batch.
void deliverFileEvent(const PluginSettings& settings, const ShareEvent& event, bool test,
                      std::string* log_batch = nullptr);

// Whether delivering the event would name the computer, in a line or an alert.
bool fileEventNeedsHostName(const PluginSettings& settings, const ShareEvent& event);
