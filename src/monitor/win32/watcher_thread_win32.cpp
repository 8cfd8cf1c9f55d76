#include "monitor/win32/watcher_thread.h"
#include "core/win32/plugin_state.h"

DWORD WINAPI WatcherThread(LPVOID /*unused*/) {
    // Polling arrives with the WMI client; until then the thread only waits to be stopped.
    while (WaitForSingleObject(stop_event, 1000) != WAIT_OBJECT_0) {
    }
    return 0;
}
