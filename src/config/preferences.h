#pragma once
// Loading, saving and applying the settings held in the settings store.

#include "config/plugin_settings.h"

// Fills the settings from the INI file at ini_path (defaults for what is missing)
// and switches the debug trace to follow DebugMode.
void load_preferences();
// Rewrites the INI file at ini_path from the settings.
void save_preferences();
// Exact, case-sensitive test whether a share is a selected source; traces the answer.
bool find_source(const char* share_name);
bool findSourceIn(const PluginSettings& settings, const char* share_name);
