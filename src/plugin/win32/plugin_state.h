#pragma once
// The lifecycle's process-wide state. Handles are null when absent and set back
// to null when released. Everything here is touched on the host's thread only,
// except HostLink (read by the watcher thread for alerts) and the tracker lock
// (taken by the watcher thread between start and stop).

#include "base/host_records.h"

#include <windows.h>

#include <atomic>

extern HINSTANCE module_instance;
extern HMODULE richedit_module;
extern char* home_directory;
extern char* ini_path;
extern std::atomic<HostCallback> HostLink;
extern CRITICAL_SECTION tracker_lock;
extern HBITMAP logo_bitmap;
extern HANDLE stop_event;
extern HANDLE watcher_thread;
extern HWND prefs_window;

// True from the creation of tracker_lock at "start" to its deletion at "stop".
// A user of the lock outside that span (a viewer that outlives "stop") must not take it.
bool trackerLockAvailable();

// Sends a request to the host. Skipped when no host is linked (before "load" or
// after "unload"), so nothing ever calls a missing callback.
void sendHostRequest(const char* request, void* record);
