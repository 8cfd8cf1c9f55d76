#pragma once
// The tracked table of server sessions and the diff that turns each new snapshot into events.

#include "monitor/connection_info.h"
#include "monitor/share_event.h"

#include <cstdint>
#include <vector>

// Diffs one snapshot against the tracked table and updates the table in place.
//  - Each tracked entry whose ConnectionID is in the snapshot takes the ActiveTime of the first
//    snapshot record with that ID; when its presence interval has run out it is reported again
//    (Presence). An entry whose ID is missing is reported (Leave) and removed.
//  - Each snapshot ID that is not tracked is reported (Enter, first record with the ID) and
//    appended to the table.
// `events` is emptied, then holds the Presence and Leave events in table order followed by the
// Enter events in snapshot order. `interval_minutes` * 60, taken as a wrapping 32-bit product,
// that is not positive turns Presence events off. Returns 0. The caller holds tracker_lock.
int detectConnectionEvents(std::vector<ConnectionInfo>& tracked, const std::vector<ConnectionInfo>& snapshot,
                           std::vector<ShareEvent>& events, int32_t interval_minutes);

// The presence interval in seconds, or 0 when `interval_minutes` * 60 (wrapping 32-bit product)
// is not positive and Presence events are therefore off.
uint32_t presenceIntervalSeconds(int32_t interval_minutes);

// The sessions seen so far, in order of first sighting, with the diff that keeps them current.
class ConnectionTracker {
public:
    ConnectionTracker() = default;
    ConnectionTracker(const ConnectionTracker&) = delete;
    ConnectionTracker& operator=(const ConnectionTracker&) = delete;

    int detectEvents(const std::vector<ConnectionInfo>& snapshot, std::vector<ShareEvent>& events,
                     int32_t interval_minutes) {
        return detectConnectionEvents(table_, snapshot, events, interval_minutes);
    }

    const std::vector<ConnectionInfo>& table() const { return table_; }
    // Writable for the enumerator's detectEvents, which takes the table as an argument.
    std::vector<ConnectionInfo>& table() { return table_; }

private:
    std::vector<ConnectionInfo> table_;
};

// The process-wide tracker: empty when the library is loaded, kept across stop and start.
ConnectionTracker& connectionTracker();
