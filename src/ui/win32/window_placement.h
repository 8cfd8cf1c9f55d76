#pragma once
// Placing the plug-in's windows: pages inside the tab control, viewers over their owner.

#include <windows.h>

// Moves `page`, the sibling of `tab`, over the display area of `tab`, starting 2
// pixels to the left and 2 pixels wider. Nothing unless both windows are given.
void fitPageToTab(HWND page, HWND tab);
// Centres `window` on `reference`, or on the desktop's work area when there is
// no reference. Nothing for a null window.
void centerWindow(HWND window, HWND reference);
