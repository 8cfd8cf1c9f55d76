#pragma once
// What the tray's window answers to: its class (how a second start finds the
// running instance), the notification icon's id and callback message, and the
// menu's commands, which arrive as WM_COMMAND.

constexpr char kTrayWindowClass[] = "TarnwickTrayWindow";
constexpr char kTrayTitle[] = "Tarnwick";
constexpr unsigned kTrayIconId = 1;
constexpr unsigned kTrayCallbackMessage = 0x8000 + 1;     // WM_APP + 1
constexpr unsigned kTrayAlertArrivedMessage = 0x8000 + 2; // WM_APP + 2

enum TrayCommand : unsigned {
    CommandPreferences = 100,
    CommandPauseResume = 101,
    CommandStartWithWindows = 102,
    CommandRestartAsAdministrator = 103,
    CommandExit = 104,
    CommandDismissAllAlerts = 105,
    // One entry per recent alert: the first id plus the entry's place on the list.
    CommandRecentAlertFirst = 1000,
    CommandRecentAlertLast = 1999,
};
