#pragma once
// The tray's hidden top-level window: it owns the notification icon, shows the
// alerts one notification at a time, opens the menu and carries out its
// commands. Top-level, not message-only, so it hears "TaskbarCreated".

#include "tray/win32/plugin_host.h"

#include <windows.h>

#include <string>

struct TrayStart {
    PluginHost* host;
    std::wstring program;  // the program's full path
    std::string arguments; // UTF-8, quoted: its command line for a restart or the Run key
};

// Registered, so a second start may ask across user interface privilege levels:
// wParam is CommandPreferences or CommandExit.
UINT trayRequestMessage();

// Creates the window, hidden; the plug-in is then loaded and started by the caller.
HWND createTrayWindow(const TrayStart& start);
// Puts the icon into the notification area; until it is there, tries again
// every few seconds. False when it is not there yet.
bool showTrayIcon(HWND window);
