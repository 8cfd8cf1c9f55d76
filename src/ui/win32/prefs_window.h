#pragma once
// "prefsShow": the plug-in's tabbed window inside the host's preferences window,
// created on the first show, and its pages. The pages and the visible one are the
// window's own.

#include <windows.h>

int plugin_prefsShow(void* record);

// The pages by tab index, in tab order; a page is one name here and one line of the tab table.
enum class PrefsPage : int { General, Sources, Events, Help, About, Count };
constexpr int kPrefsPageCount = static_cast<int>(PrefsPage::Count);

// The page window of the preferences window; null while there is none.
HWND preferencesPage(PrefsPage page);
// Hides the visible page, then shows page `index` (none for an index outside the tabs).
void selectPage(int index);
void showPage(int index, int show_command);
