#pragma once
// The stand-in's small alert windows: one popup per shown alert, stacked above
// the bottom-right corner of the work area, as a tray notifier would show them.

#include <windows.h>

#include <string>

// The alert's text without its markup tags, as the window shows it.
std::string plainAlertText(const std::string& markup);

// Opens the window for an alert in stacking slot `slot` (0 is the lowest).
HWND openAlertWindow(const std::string& markup, int slot);
// Moves an open window to stacking slot `slot`, as older alerts go away.
void placeAlertWindow(HWND window, int slot);
void closeAlertWindow(HWND window);
