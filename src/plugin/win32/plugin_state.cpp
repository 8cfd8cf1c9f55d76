#include "plugin/win32/plugin_state.h"
#include "plugin/win32/tracker_lock_control.h"

HINSTANCE module_instance = nullptr;
HMODULE richedit_module = nullptr;
char* home_directory = nullptr;
char* ini_path = nullptr;
std::atomic<HostCallback> HostLink{nullptr};
CRITICAL_SECTION tracker_lock;
HBITMAP logo_bitmap = nullptr;
HANDLE stop_event = nullptr;
HANDLE watcher_thread = nullptr;
HWND prefs_window = nullptr;

namespace tracker_lock_state {
std::atomic<bool> available{false};
}

bool trackerLockAvailable() {
    return tracker_lock_state::available.load();
}

void createTrackerLock() {
    InitializeCriticalSection(&tracker_lock);
    tracker_lock_state::available.store(true);
}

void deleteTrackerLock() {
    if (!tracker_lock_state::available.exchange(false))
        return;
    DeleteCriticalSection(&tracker_lock);
}

void sendHostRequest(const char* request, void* record) {
    const HostCallback callback = HostLink.load();
    if (callback == nullptr)
        return;
    callback(host::kPluginGuid, request, record);
}
