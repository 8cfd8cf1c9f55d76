#pragma once
// The one process-wide PluginSettings, shared by the UI thread (which replaces it
// when preferences are loaded or applied) and the watcher thread (which reads it).
// Readers take an immutable snapshot and keep it for as long as they need a
// consistent view; writers swap in a whole new record.

#include "config/plugin_settings.h"

#include <functional>
#include <memory>

using SettingsSnapshot = std::shared_ptr<const PluginSettings>;

SettingsSnapshot currentSettings();
void replaceSettings(PluginSettings next);
// Copy, change and swap in one step, so concurrent writers do not lose each other's changes.
void updateSettings(const std::function<void(PluginSettings&)>& change);
