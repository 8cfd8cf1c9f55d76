#include "config/settings_store.h"

#include <mutex>

namespace {
// Writers are serialised so a read-modify-write is never lost; readers only ever
// wait for the short pointer swap under snapshot_mutex.
std::mutex writer_mutex;
std::mutex snapshot_mutex;

SettingsSnapshot& current() {
    static SettingsSnapshot settings = std::make_shared<const PluginSettings>();
    return settings;
}

void swapIn(PluginSettings next) {
    SettingsSnapshot fresh = std::make_shared<const PluginSettings>(std::move(next));
    std::lock_guard<std::mutex> hold(snapshot_mutex);
    current().swap(fresh);
    // the old record, now in `fresh`, is released after the lock
}
} // namespace

SettingsSnapshot currentSettings() {
    std::lock_guard<std::mutex> hold(snapshot_mutex);
    return current();
}

void replaceSettings(PluginSettings next) {
    std::lock_guard<std::mutex> writer(writer_mutex);
    swapIn(std::move(next));
}

void updateSettings(const std::function<void(PluginSettings&)>& change) {
    std::lock_guard<std::mutex> writer(writer_mutex);
    PluginSettings next = *currentSettings();
    change(next);
    swapIn(std::move(next));
}
