#pragma once
// The user's choices, named after their keys in tarnwick.ini.

#include "config/visitor_rules.h"

#include <cstdint>
#include <string>
#include <vector>

enum PluginMode : int32_t {
    Inactive = 0,
    ShowEvents = 1,
    LogEvents = 2,
    ShowAndLogEvents = 3,
};

enum SourceWatchMode : int32_t {
    SourcesOnly = 0,
    SourcesOnlyLogAll = 1, // any non-zero value means this
};

// A selected event source; the same two texts as a ShareInfo.
struct SourceEntry {
    std::string SourceName;
    std::string SourcePath;
};

// Defaults equal the INI defaults, so a missing file behaves as a file of defaults.
struct PluginSettings {
    int32_t DebugMode = 0;
    int32_t PersistentAlerts = 0;
    int32_t PluginMode = ShowAndLogEvents; // a ::PluginMode value, kept as read
    std::string LogFile = "tarnwicklog.txt";
    int32_t DisplayEnterEvents = 1;
    std::string EnterEventsMessage =
        "Share <b>$ShareName$</b> entered by <b>$UserName$ ($ComputerRealName$)</b>.";
    int32_t DisplayLeaveEvents = 1;
    std::string LeaveEventsMessage =
        "Share <b>$ShareName$</b> leaved by <b>$UserName$ ($ComputerRealName$)</b>.";
    int32_t DisplayPresenceEvents = 1;
    std::string PresenceEventsMessage = "Share <b>$ShareName$</b> accessed by <b>$UserName$ "
                                        "($ComputerRealName$)</b> for <b>$ActiveTime$</b>.";
    uint32_t PresenceUpdateInterval = 30;        // minutes, never below 5
    int32_t SourceWatchMode = SourcesOnlyLogAll; // a ::SourceWatchMode value, kept as read
    std::vector<SourceEntry> Sources;
    // The Windows Event Log: non-zero writes every logged event to the Application log too.
    int32_t WindowsEventLog = 0;
    // Visitor rules, in the order they are tried; none by default.
    std::vector<VisitorRule> VisitorRules;
    // Open files on the shares (Windows 8 and later): log lines and alerts, both off unless asked for.
    int32_t LogFileEvents = 0;
    int32_t DisplayFileEvents = 0;
    std::string FileEventsMessage =
        "File <b>$FileName$</b> opened by <b>$UserName$ ($ComputerRealName$)</b> on <b>$ShareName$</b>.";
};

inline bool operator==(const SourceEntry& a, const SourceEntry& b) {
    return a.SourceName == b.SourceName && a.SourcePath == b.SourcePath;
}
inline bool operator!=(const SourceEntry& a, const SourceEntry& b) {
    return !(a == b);
}

inline bool operator==(const PluginSettings& a, const PluginSettings& b) {
    return a.DebugMode == b.DebugMode && a.PersistentAlerts == b.PersistentAlerts &&
           a.PluginMode == b.PluginMode && a.LogFile == b.LogFile &&
           a.DisplayEnterEvents == b.DisplayEnterEvents && a.EnterEventsMessage == b.EnterEventsMessage &&
           a.DisplayLeaveEvents == b.DisplayLeaveEvents && a.LeaveEventsMessage == b.LeaveEventsMessage &&
           a.DisplayPresenceEvents == b.DisplayPresenceEvents &&
           a.PresenceEventsMessage == b.PresenceEventsMessage &&
           a.PresenceUpdateInterval == b.PresenceUpdateInterval && a.SourceWatchMode == b.SourceWatchMode &&
           a.Sources == b.Sources && a.WindowsEventLog == b.WindowsEventLog &&
           a.VisitorRules == b.VisitorRules && a.LogFileEvents == b.LogFileEvents &&
           a.DisplayFileEvents == b.DisplayFileEvents && a.FileEventsMessage == b.FileEventsMessage;
}
inline bool operator!=(const PluginSettings& a, const PluginSettings& b) {
    return !(a == b);
}
