#pragma once
// Apply and OK: the values of the preference pages become the settings.

#include <windows.h>

// Copies the page values of the preferences window into the settings. Does
// nothing when `window` names no existing window (the preferences were never shown).
void update_preferences(HWND window);
