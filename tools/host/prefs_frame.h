#pragma once
// The host's preferences window as a person sees it: the list of entries (the
// plug-in's among them), the area where the plug-in places its own window
// ("prefsShow"), and OK, Cancel and Apply, which send "prefsAction" 2, 0 and 1.

#include <windows.h>

// The window, created on first use on the calling thread and shown. OK and
// Cancel close it; otherwise it lives as long as the process.
HWND hostPreferencesWindow();
// Where the plug-in's window goes, in the window's client coordinates.
POINT pluginArea();

// Opens the window on the plug-in's entry: "prefsShow" 1 at the plug-in's area.
int showPluginPreferences();
// The buttons, as a click on them: send "prefsAction"; OK and Cancel then close the window.
int pressPreferencesButton(int action);
// Picks tab `index` in the plug-in's window `prefs`, as a click on it would.
bool selectPluginTab(HWND prefs, int index);
// Clicks the visible control with id `id` in the plug-in's window `prefs`.
bool clickPluginControl(HWND prefs, int id);
// Gives `message` to the window's keyboard interface (Tab, arrows, Enter, Esc),
// as the host's loop does; true when it was handled there.
bool preferencesDialogMessage(MSG& message);
// A key pressed on the focused window, run through the window's loop.
void pressPreferencesKey(WPARAM key);
// Runs the window for a person until it is closed.
void runPreferencesUntilClosed();
