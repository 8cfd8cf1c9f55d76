#pragma once
// tracker_lock guards the tracked table of connectionTracker(): the watcher
// thread holds it for the diff, a viewer while it copies the table.

#include <windows.h>

extern CRITICAL_SECTION tracker_lock;

// Done only by "start" and "stop". Deleting a lock that was never created, or
// deleting it twice, does nothing.
void createTrackerLock();
void deleteTrackerLock();
// Whether the lock exists now (between "start" and "stop"). Asked and used on the
// host's thread, where "start" and "stop" run, so the answer holds until it returns.
bool trackerLockCreated();

// Holds tracker_lock for one scope.
class TrackerLockHold {
public:
    TrackerLockHold() { EnterCriticalSection(&tracker_lock); }
    ~TrackerLockHold() { LeaveCriticalSection(&tracker_lock); }
    TrackerLockHold(const TrackerLockHold&) = delete;
    TrackerLockHold& operator=(const TrackerLockHold&) = delete;
};
