#pragma once
// The plug-in's main export called with the host's records, filled as the
// messenger fills them. Shared by the tray and the host stand-in.

#include "base/host_records.h"

class PluginEntry {
public:
    explicit PluginEntry(PluginMainFunction main = nullptr) : main_(main) {}

    bool valid() const { return main_ != nullptr; }
    // The event name goes over in a writable copy, as the export's type asks; -1 without an export.
    int call(const char* event, void* data) const;
    // A copy of each record as the plug-in left it goes to `*out` when given.
    int load(const char* home_directory, HostCallback callback, host::LoadRecord* out = nullptr) const;
    int simple(const char* event) const { return call(event, nullptr); }
    int prefsShow(int show, const char* entry_name, void* parent, int x, int y,
                  host::PrefsShowRecord* out = nullptr) const;
    int prefsAction(int action) const;

private:
    PluginMainFunction main_;
};

// "prefsAction" codes: the buttons of the preferences window.
enum PrefsActionCode : int { PrefsCancel = 0, PrefsApply = 1, PrefsOk = 2 };
