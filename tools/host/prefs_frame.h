#pragma once
// The host's preferences window as far as the plug-in sees it: a top-level
// window into which the plug-in places its own tabbed page ("prefsShow").

#include <windows.h>

// The window, created on first use on the calling thread and shown; it lives
// as long as the process.
HWND hostPreferencesWindow();

// Picks tab `index` in the plug-in's window `prefs`, as a click on it would.
bool selectPluginTab(HWND prefs, int index);
