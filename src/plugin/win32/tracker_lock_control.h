#pragma once
// Creation and deletion of tracker_lock, done only by "start" and "stop".

void createTrackerLock();
void deleteTrackerLock();
