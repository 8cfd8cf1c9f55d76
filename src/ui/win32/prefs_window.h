#pragma once
// "prefsShow": the plug-in's tabbed window inside the host's preferences window,
// created on the first show, and its six pages.

#include <windows.h>

int plugin_prefsShow(void* record);

// The pages by tab index.
enum class PrefsPage : int { General = 0, Sources = 1, Events = 2, Visitors = 3, Help = 4, About = 5 };
constexpr int kPrefsPageCount = 6;

// The page window of the preferences window; null while there is none.
HWND preferencesPage(PrefsPage page);
// Hides the visible page, then shows page `index` (none for an index outside the tabs).
void selectPage(int index);
void showPage(int index, int show_command);
