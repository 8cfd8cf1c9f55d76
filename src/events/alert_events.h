#pragma once
// The host's reports about an alert: link clicks and the end of the alert, at
// which the heap copy of the connection handed over as user data is freed.

#include "base/host_records.h"
#include "monitor/connection_info.h"

enum class AlertEventAction {
    Keep,    // nothing to do (no user data, a link click, an unknown event)
    Release, // "alert_destroy": the alert's copy must be freed now
};

// Writes the trace lines of one report and says what becomes of the user data.
// Event names compare ignoring ASCII letter case; null texts are tolerated.
AlertEventAction handleAlertEvent(const char* text, const char* event_name, const void* user_data);

// The heap copy of the connection that an alert hands to the host as its user
// data. The copy is known as live until the host's "alert_destroy" for it, so a
// second "alert_destroy", or one for data that is not ours, frees nothing.
// Throws std::bad_alloc when memory runs out (nothing is then left behind).
ConnectionInfo* newAlertCopy(const ConnectionInfo& connection);

// The alert callback handed to the host with every alert (AlertCallback).
// Frees the live ConnectionInfo copy at "alert_destroy"; always returns 0.
int TW_CDECL onAlertEvent(int unused, char* text, char* event, void* unused_pointer, void* user_data);
