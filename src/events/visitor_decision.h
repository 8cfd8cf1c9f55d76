#pragma once
// What the visitor rules make of one visitor's events: the decision every kind
// of event follows, Enter, Leave and Presence alike.

#include "config/plugin_settings.h"
#include "events/host_names.h"
#include "monitor/connection_info.h"

#include <string>

// The action of the first rule matching the session's user and its address or
// `host_name`; NoChange without a match.
VisitorAction visitorActionFor(const PluginSettings& settings, const ConnectionInfo& connection,
                               const std::string& host_name);
// The same, asking the name cache for the host name only when a rule needs it.
VisitorAction visitorActionFor(const PluginSettings& settings, const ConnectionInfo& connection,
                               NameWait wait);

// Whether events under `action` still get alerts, and log lines.
inline bool visitorAlerts(VisitorAction action) {
    return action == NoChange;
}
inline bool visitorLogs(VisitorAction action) {
    return action != NoAlertsNoLog;
}
