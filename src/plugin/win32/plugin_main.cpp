// The two exports and the lifecycle handlers that create and release the
// process-wide resources in their fixed order.

#include "base/host_records.h"
#include "base/trace.h"
#include "base/win32/host_link.h"
#include "base/win32/module_instance.h"
#include "config/preferences.h"
#include "config/settings_store.h"
#include "config/win32/ini_path.h"
#include "events/event_log.h"
#include "events/win32/windows_event_source.h"
#include "monitor/win32/tracker_lock.h"
#include "plugin/lifecycle_events.h"
#include "plugin/win32/plugin_state.h"
#include "plugin/win32/watcher_thread.h"
#include "resource_ids.h"
#include "ui/win32/host_dialog.h"
#include "ui/win32/prefs_action.h"
#include "ui/win32/prefs_window.h"
#include "ui/win32/ui_state.h"

#include <winsock2.h>

#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace {

constexpr DWORD kStopWaitMilliseconds = 5000;
constexpr DWORD kForcedExitCode = 123;
constexpr char kIniFileName[] = "tarnwick.ini";

// Whether "start" got Winsock, so that "unload" gives it back once. It is held
// past "stop": the preferences window and its lookups live on until "unload".
bool winsock_started = false;

void copyField(char* field, size_t size, const char* text) {
    std::strncpy(field, text, size - 1);
    field[size - 1] = '\0';
}

void freePaths() {
    std::free(home_directory);
    home_directory = nullptr;
    std::free(ini_path);
    ini_path = nullptr;
}

int handleLoad(void* data) {
    auto* record = static_cast<host::LoadRecord*>(data);
    if (record == nullptr)
        return 0;
    copyField(record->guid, sizeof record->guid, host::kPluginGuid);
    copyField(record->name, sizeof record->name, host::kPluginName);
    copyField(record->company, sizeof record->company, host::kCompany);
    copyField(record->version, sizeof record->version, host::kPluginVersionText);
    copyField(record->description, sizeof record->description, host::kDescription);

    // A second "load" replaces the paths of the first instead of leaking them.
    freePaths();
    const char* home = record->home_directory ? record->home_directory : "";
    const size_t home_length = std::strlen(home);
    home_directory = static_cast<char*>(std::malloc(home_length + 1));
    if (home_directory == nullptr)
        return 1;
    ini_path = static_cast<char*>(std::malloc(home_length + 1 + sizeof kIniFileName));
    if (ini_path == nullptr) {
        freePaths();
        return 1;
    }
    std::memcpy(home_directory, home, home_length + 1);
    DebugTrace("%s: home_directory = [%s]", TRACE_TAG, home_directory);
    // The host's text is used as it is: a trailing backslash gives a doubled one.
    std::memcpy(ini_path, home_directory, home_length);
    ini_path[home_length] = '\\';
    std::memcpy(ini_path + home_length + 1, kIniFileName, sizeof kIniFileName);

    HostLink.store(record->callback);
    load_preferences();
    return 0;
}

int handleStart() {
    // Without a host there is nobody to register with and nobody to stop the thread.
    if (HostLink.load() == nullptr)
        return 0;
    // A second start while running is not expected; keep the running thread, or
    // the idle state of a start whose watcher could not be made.
    if (watcher_thread != nullptr || stop_event != nullptr || trackerLockCreated())
        return 0;

    if (!winsock_started) {
        WSADATA winsock;
        const int winsock_error = WSAStartup(MAKEWORD(2, 2), &winsock);
        winsock_started = winsock_error == 0;
        if (!winsock_started)
            DebugTrace("%s: WSAStartup_ERROR = %d", TRACE_TAG, winsock_error);
    }
    createTrackerLock();
    logo_bitmap = LoadBitmapA(module_instance, MAKEINTRESOURCEA(IDB_LOGO));
    load_preferences();

    host::PrefsInitializeRecord prefs{sizeof(host::PrefsInitializeRecord), 1, host::kPluginName, 0};
    sendHostRequest(host::kRequestPrefsInitialize, &prefs);

    setLogPath(currentSettings()->LogFile.c_str());
    startWindowsEventLog(*currentSettings());
    // Without the event the watcher's waits would fail at once and it would poll
    // without a pause: then there is no watcher, and the plug-in stays idle.
    stop_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (stop_event == nullptr) {
        DebugTrace("%s: CreateEvent_ERROR = %lu", TRACE_TAG, GetLastError());
        return 0;
    }
    watcher_thread = CreateThread(nullptr, 0, WatcherThread, nullptr, 0, nullptr);
    if (watcher_thread == nullptr) {
        DebugTrace("%s: CreateThread_ERROR = %lu", TRACE_TAG, GetLastError());
        CloseHandle(stop_event);
        stop_event = nullptr;
    }
    return 0;
}

int handleStop() {
    if (stop_event != nullptr)
        SetEvent(stop_event);
    bool forced = false;
    if (watcher_thread != nullptr) {
        if (WaitForSingleObject(watcher_thread, kStopWaitMilliseconds) != WAIT_OBJECT_0) {
            DebugTrace("%s: FORCE THREAD TERMINATION!!!", TRACE_TAG);
            TerminateThread(watcher_thread, kForcedExitCode);
            forced = true;
        }
        CloseHandle(watcher_thread);
        watcher_thread = nullptr;
    }
    if (stop_event != nullptr) {
        CloseHandle(stop_event);
        stop_event = nullptr;
    }
    if (logo_bitmap != nullptr) {
        DeleteObject(logo_bitmap);
        logo_bitmap = nullptr;
    }
    deleteTrackerLock();
    // A thread ended by force may have died inside a name lookup: then Winsock
    // keeps that startup for good rather than have the host's thread clean up
    // after it, and the next start makes one of its own.
    if (forced)
        winsock_started = false;
    return 0;
}

int handleUnload() {
    freePaths();
    if (prefs_window != nullptr) {
        destroyHostDialog(prefs_window);
        prefs_window = nullptr;
    }
    // One cleanup for the one startup, once no window is left to look names up.
    // A watcher still running (no "stop" came) keeps it for its own lookups.
    if (winsock_started && watcher_thread == nullptr) {
        WSACleanup();
        winsock_started = false;
    }
    HostLink.store(nullptr);
    return 0;
}

int runHandler(LifecycleEvent event, void* data) {
    switch (event) {
    case LifecycleEvent::Load:
        return handleLoad(data);
    case LifecycleEvent::Unload:
        return handleUnload();
    case LifecycleEvent::Start:
        return handleStart();
    case LifecycleEvent::Stop:
        return handleStop();
    case LifecycleEvent::PrefsShow:
        plugin_prefsShow(data);
        return 0;
    case LifecycleEvent::PrefsAction:
        plugin_prefsAction(data);
        return 0;
    case LifecycleEvent::InitialLoad:
    case LifecycleEvent::FinalUnload:
    case LifecycleEvent::Unknown:
        break;
    }
    return 0;
}

} // namespace

// The host stand-in calls the exports through these types.
static_assert(std::is_same<decltype(&plugin_main), PluginMainFunction>::value, "plugin_main type");
static_assert(std::is_same<decltype(&plugin_version), PluginVersionFunction>::value, "plugin_version type");

int TW_CDECL plugin_main(char* event, void* data) {
    try {
        FunctionTracer tracer("plugin_main", "GLOBAL");
        const LifecycleEvent which = classifyLifecycleEvent(event, HostLink.load() != nullptr);
        const char* handler = handlerTracerName(which);
        if (handler == nullptr)
            return 0;
        // The prefs handlers open their own tracer; the others are traced here.
        if (which == LifecycleEvent::PrefsShow || which == LifecycleEvent::PrefsAction)
            return runHandler(which, data);
        FunctionTracer handler_tracer(handler, "GLOBAL");
        return runHandler(which, data);
    } catch (...) {
        return 0;
    }
}

int TW_CDECL plugin_version() {
    try {
        FunctionTracer tracer("plugin_version", "GLOBAL");
    } catch (...) {
    }
    return host::kInterfaceVersion;
}
