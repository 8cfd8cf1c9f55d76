#include "base/trace.h"
#include "config/preferences.h"
#include "config/settings_store.h"

bool findSourceIn(const PluginSettings& settings, const char* share_name) {
    const char* name = share_name ? share_name : "";
    if (share_name != nullptr) {
        for (const SourceEntry& source : settings.Sources) {
            // Whole text, byte for byte: "Public" is not the source "public".
            if (source.SourceName == name) {
                DebugTrace("%s: SOURCE [%s] FOUND!", TRACE_TAG, name);
                return true;
            }
        }
    }
    DebugTrace("%s: SOURCE [%s] NOT FOUND!!!", TRACE_TAG, name);
    return false;
}

bool find_source(const char* share_name) {
    // One snapshot for the whole walk, so a concurrent apply cannot change the list under it.
    const SettingsSnapshot settings = currentSettings();
    return findSourceIn(*settings, share_name);
}
