#pragma once
// The host's preferences window as a person sees it: the list of entries (the
// plug-in's among them), the area where the plug-in places its own window
// ("prefsShow"), and OK, Cancel and Apply, which send "prefsAction" 2, 0 and 1;
// OK and Cancel then close it. One per thread; it keeps the plug-in entry it
// was made for. Serves the tray and the host stand-in alike.

#include "tray/plugin_entry.h"

#include <windows.h>

// This thread's window, made (shown, empty) on first use for `plugin`.
HWND preferencesFrame(const PluginEntry& plugin);
// This thread's window, or null when none is open.
HWND openPreferencesFrame();
// Where the plug-in's window goes, in the window's client coordinates.
POINT preferencesPluginArea();
// Opens the window on the plug-in's entry ("prefsShow" 1 at the plug-in's area) and brings it forward.
int showPluginPreferences(const PluginEntry& plugin);
// A button of the open window, as a click on it; -1 when no window is open.
int pressPreferencesButton(int action);
// Gives a message to the open window's dialog navigation (Tab, Enter, Esc); true when used.
bool preferencesFrameMessage(MSG* message);
