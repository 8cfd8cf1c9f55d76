#pragma once
// Reference diff for tests and benchmarks: the two passes written down step by step, with plain
// linear searches and in-place erasure, quadratic but obviously right. The tracker's diff must
// give the same events, table and trace lines for every input.

#include "base/trace.h"
#include "monitor/connection_info.h"
#include "monitor/share_event.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Minutes times 60 as a signed 32-bit product: the exact product reduced modulo 2^32 into
// [-2^31, 2^31).
inline int32_t literalIntervalSeconds(int32_t interval_minutes) {
    const int64_t exact = static_cast<int64_t>(interval_minutes) * 60;
    const int64_t modulus = int64_t{1} << 32;
    int64_t reduced = exact % modulus;
    if (reduced < 0)
        reduced += modulus;
    if (reduced >= modulus / 2)
        reduced -= modulus;
    return static_cast<int32_t>(reduced);
}

inline int literalDetectEvents(std::vector<ConnectionInfo>& tracked,
                               const std::vector<ConnectionInfo>& snapshot, std::vector<ShareEvent>& events,
                               int32_t interval_minutes) {
    // 1. Empty the event list; the interval in seconds.
    events.clear();
    const int32_t interval_seconds = literalIntervalSeconds(interval_minutes);

    // 2. First pass over the tracked table.
    std::size_t position = 0;
    while (position < tracked.size()) {
        ConnectionInfo& entry = tracked[position];
        // 2.1 The first snapshot record with the entry's ConnectionID.
        const ConnectionInfo* found = nullptr;
        for (const ConnectionInfo& record : snapshot) {
            // cppcheck-suppress useStlAlgorithm ; spelled out on purpose, step by step
            if (record.ConnectionID == entry.ConnectionID) {
                found = &record;
                break;
            }
        }
        if (found != nullptr) {
            // 2.2 Found: take its ActiveTime only, then the presence check.
            entry.ActiveTime = found->ActiveTime;
            if (interval_seconds > 0) {
                const uint32_t elapsed = static_cast<uint32_t>(entry.ActiveTime - entry.LastReportTime);
                if (elapsed >= static_cast<uint32_t>(interval_seconds)) {
                    DebugTrace("%s: adding presence", TRACE_TAG);
                    entry.LastReportTime = entry.ActiveTime;
                    ShareEvent event;
                    event.Kind = EventKind::Presence;
                    event.Connection = entry;
                    events.push_back(event);
                }
            }
            ++position;
        } else {
            // 2.3 Not found: Leave, remove, stay at the same position.
            ShareEvent event;
            event.Kind = EventKind::Leave;
            event.Connection = entry;
            events.push_back(event);
            tracked.erase(tracked.begin() + static_cast<std::ptrdiff_t>(position));
        }
    }

    // 3. Second pass over the snapshot; the search covers entries appended during this pass.
    for (const ConnectionInfo& record : snapshot) {
        bool is_tracked = false;
        for (const ConnectionInfo& entry : tracked) {
            // cppcheck-suppress useStlAlgorithm ; spelled out on purpose, step by step
            if (entry.ConnectionID == record.ConnectionID) {
                is_tracked = true;
                break;
            }
        }
        if (!is_tracked) {
            ShareEvent event;
            event.Kind = EventKind::Enter;
            event.Connection = record;
            event.Connection.LastReportTime = event.Connection.ActiveTime;
            events.push_back(event);
            tracked.push_back(event.Connection);
        }
    }

    // 4.
    return 0;
}
