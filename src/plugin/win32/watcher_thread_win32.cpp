// The background poll: connect to WMI (retrying every 100 ms), then once a
// second read the sessions, diff them against the tracked table under
// tracker_lock, and deliver the events without the lock, their host names
// looked up side by side and awaited a few seconds at most. A stop is seen
// between events too, so the watcher never has to be ended by force.

#include "plugin/win32/watcher_thread.h"
#include "base/trace.h"
#include "config/settings_store.h"
#include "events/event_dispatch.h"
#include "events/host_names.h"
#include "events/poll_delivery.h"
#include "monitor/connection_tracker.h"
#include "monitor/win32/tracker_lock.h"
#include "monitor/win32/wmi_connection_enumerator.h"
#include "plugin/win32/file_watch.h"
#include "plugin/win32/plugin_state.h"

#include <string>
#include <vector>

namespace {

constexpr DWORD kConnectRetryMilliseconds = 100;
constexpr DWORD kPollWaitMilliseconds = 1000;

// The presence interval handed to the diff: 0 while Presence events are off.
int32_t presenceIntervalMinutes() {
    const SettingsSnapshot settings = currentSettings();
    return settings->DisplayPresenceEvents != 0 ? static_cast<int32_t>(settings->PresenceUpdateInterval) : 0;
}

// The file name of the program that hosts the plug-in, the one a user must run
// as administrator; empty when Windows cannot tell.
std::string hostProgramName() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return std::string();
    const std::string full(path, length);
    const size_t slash = full.find_last_of("\\/");
    return slash == std::string::npos ? full : full.substr(slash + 1);
}

bool stopRequested() {
    return WaitForSingleObject(stop_event, 0) == WAIT_OBJECT_0;
}

bool tryConnect(CConnectionEnumerator& enumerator) {
    DebugTrace("%s: connecting...", TRACE_TAG);
    const int code = enumerator.connect();
    if (code != 0) {
        DebugTrace("%s: error connecting : [%d] [%d]!", TRACE_TAG, code, static_cast<int>(GetLastError()));
        return false;
    }
    DebugTrace("%s: connecting OK", TRACE_TAG);
    return true;
}

void runWatcher() {
    CConnectionEnumerator enumerator;
    std::vector<ConnectionInfo> snapshot;
    std::vector<ShareEvent> events;
    FileWatch files;
    // Once for each start: told why nothing ever happens, the user need not hear it every second.
    bool rights_notice_sent = false;
    for (;;) {
        snapshot.clear();
        events.clear();
        if (!enumerator.isConnected()) {
            // While connecting fails, a stop ends the thread between attempts. Left to
            // the forced end, it would be killed inside COM's start-up, holding locks
            // of the process (the loader's among them) that nobody would release.
            // A connect that succeeds keeps the pending stop for after its first poll.
            if (tryConnect(enumerator))
                Sleep(kConnectRetryMilliseconds);
            else if (WaitForSingleObject(stop_event, kConnectRetryMilliseconds) == WAIT_OBJECT_0)
                break;
            continue;
        }
        // A failed query leaves the snapshot empty, so every tracked session leaves.
        enumerator.getConnections(snapshot);
        const uint64_t names_deadline = platformTickCount() + kNameWaitMilliseconds;
        if (!rights_notice_sent && enumerator.refusedForRights())
            rights_notice_sent = dispatchRightsNotice(hostProgramName());
        {
            TrackerLockHold hold;
            CConnectionEnumerator::detectEvents(connectionTracker().table(), snapshot, events,
                                                presenceIntervalMinutes());
        }
        if (!stopRequested())
            files.poll(events); // its events go out with the sessions', under one wait for names
        deliverPollEvents(events, names_deadline, stopRequested);
        if (WaitForSingleObject(stop_event, kPollWaitMilliseconds) == WAIT_OBJECT_0)
            break;
    }
    snapshot.clear();
    events.clear();
    if (enumerator.isConnected()) {
        DebugTrace("%s: disconnecting...", TRACE_TAG);
        if (enumerator.disconnect() != 0)
            DebugTrace("%s: error disconnecting!", TRACE_TAG);
        else
            DebugTrace("%s: disconnecting OK", TRACE_TAG);
    }
}

} // namespace

DWORD WINAPI WatcherThread(LPVOID /*unused*/) {
    try {
        runWatcher();
    } catch (...) {
        // Nothing may leave the thread; an unexpected failure just ends the watch.
    }
    return 0;
}
