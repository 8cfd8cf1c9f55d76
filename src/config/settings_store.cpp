#include "config/settings_store.h"

#include "base/abandonable_mutex.h"

#include <mutex>

namespace {
// Writers are serialised so a read-modify-write is never lost; readers only ever
// wait for the short pointer swap under the snapshot mutex. The watcher thread
// takes that one too, and may be ended by force while it holds it.
std::mutex writer_mutex;
AbandonableMutex& snapshotMutex() {
    static AbandonableMutex mutex;
    return mutex;
}

SettingsSnapshot& current() {
    static SettingsSnapshot settings = std::make_shared<const PluginSettings>();
    return settings;
}

void swapIn(PluginSettings next) {
    SettingsSnapshot fresh = std::make_shared<const PluginSettings>(std::move(next));
    std::lock_guard<AbandonableMutex> hold(snapshotMutex());
    current().swap(fresh);
    // the old record, now in `fresh`, is released after the lock
}
} // namespace

SettingsSnapshot currentSettings() {
    std::lock_guard<AbandonableMutex> hold(snapshotMutex());
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
