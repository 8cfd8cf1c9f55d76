#include "monitor/win32/tracker_lock.h"

#include <atomic>

CRITICAL_SECTION tracker_lock;

namespace {
// True from the creation of the lock to its deletion.
std::atomic<bool> lock_created{false};
} // namespace

void createTrackerLock() {
    InitializeCriticalSection(&tracker_lock);
    lock_created.store(true);
}

void deleteTrackerLock() {
    if (!lock_created.exchange(false))
        return;
    DeleteCriticalSection(&tracker_lock);
}

bool trackerLockCreated() {
    return lock_created.load();
}
