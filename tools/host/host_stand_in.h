#pragma once
// A stand-in for the instant-messaging host: loads the plug-in DLL, calls its
// two exports with the host's records, answers its requests and keeps a copy of
// each, shows and destroys alerts, and captures every debugger trace line.
// The host callback carries no context, so the stand-in is one per process.

#include "base/host_records.h"
#include "tray/plugin_entry.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace hoststub {

// A request as the plug-in sent it, its record's fields copied during the call.
struct Request {
    std::string guid;
    std::string name;
    DWORD thread_id = 0;
    uint32_t struct_size = 0;
    // "prefsInitialize"
    uint32_t word4 = 0;
    std::string entry_name;
    uint32_t word12 = 0;
    // "dialogAdd" / "dialogRemove"
    HWND window = nullptr;
    bool window_existed = false;
    // "systraySetAlert"
    std::string alert_text;
    std::string alert_type;
    uint32_t alert_zero[3] = {0, 0, 0};
    AlertCallback alert_callback = nullptr;
    void* alert_user_data = nullptr;
    int32_t alert_persistent = 0;
};

struct Options {
    bool echo_requests = false; // print each request as it arrives
    bool echo_trace = false;    // print each trace line as it arrives
    bool alert_windows = false; // show alerts in small windows too
};

void configure(const Options& options);

// Trace capture (a vectored exception handler for the debug-print exception).
void installTraceCapture();
std::vector<std::string> traceLines();
void clearTrace();
// Waits until a captured trace line contains `fragment` (at least `count` of them).
bool waitForTrace(const std::string& fragment, size_t count, DWORD timeout_ms);

// The plug-in library.
bool loadLibrary(const char* dll_path);
void freeLibrary();
bool libraryLoaded();
int callVersion();
int callMain(const char* event, void* data);
// The plug-in's main export, for the product's code that calls it.
PluginEntry pluginEntry();

// The host's records, filled as the host would.
int sendLoad(const char* home_directory, host::LoadRecord* record_out = nullptr);
int sendSimple(const char* event); // "start", "stop", "unload", ... with a null record
int sendPrefsShow(int show, const char* entry_name, HWND parent, int x, int y,
                  host::PrefsShowRecord* record_out = nullptr);
int sendPrefsAction(int action);

// The host callback the stand-in hands over at "load".
int TW_CDECL hostCallback(const char* guid, const char* request, void* record);

std::vector<Request> requests();
std::vector<Request> requestsNamed(const char* name);
void clearRequests();
bool waitForRequests(const char* name, size_t count, DWORD timeout_ms);

// Alerts accepted and not yet destroyed.
size_t pendingAlerts();
// Calls the alert callback with `event` for the pending alert at `index`.
int sendAlertEvent(size_t index, const char* event);
// Calls "alert_destroy" once for every pending alert (older than min_age_ms); returns how many.
size_t destroyAlerts(DWORD min_age_ms = 0);

// Dispatches the messages waiting for this thread, keys of the preferences
// window through its dialog navigation as a host's loop does.
void dispatchPendingMessages();
// Pumps window messages for `ms`, destroying alerts older than `alert_lifetime_ms`.
void pumpFor(DWORD ms, DWORD alert_lifetime_ms);

} // namespace hoststub
