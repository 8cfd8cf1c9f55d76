#pragma once
// The host's preferences window of the product (tray/win32/prefs_frame.h) on
// the stand-in's plug-in, with the steps a script or a test takes in it.

#include "tray/win32/prefs_frame.h"

#include <windows.h>

// The window, created on first use on the calling thread and shown. OK and
// Cancel close it (pressPreferencesButton); otherwise it lives as long as the process.
HWND hostPreferencesWindow();
// Where the plug-in's window goes, in the window's client coordinates.
POINT pluginArea();
// Opens the window on the plug-in's entry: "prefsShow" 1 at the plug-in's area.
int showPluginPreferences();
// Picks tab `index` in the plug-in's window `prefs`, as a click on it would.
bool selectPluginTab(HWND prefs, int index);
// Clicks the visible control with id `id` in the plug-in's window `prefs`.
bool clickPluginControl(HWND prefs, int id);
// A key pressed on the focused window, run through the window's loop.
void pressPreferencesKey(WPARAM key);
// Runs the window for a person until it is closed.
void runPreferencesUntilClosed();
