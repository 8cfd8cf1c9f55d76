#include "monitor/connection_tracker.h"

#include "core/trace.h"

#include <cstddef>
#include <utility>

namespace {

// Open-addressing index of the snapshot by ConnectionID, built once per poll. For each ID it keeps
// the ActiveTime of the first record that carries it (later duplicates are ignored) and whether the
// ID is in the tracked table, so that both passes of the diff cost one lookup per record.
class SnapshotIndex {
public:
    struct Slot {
        uint32_t id = 0;
        uint32_t active_time = 0;
        bool used = false;
        bool tracked = false;
    };

    explicit SnapshotIndex(const std::vector<ConnectionInfo>& snapshot) {
        // At most half full keeps the linear probes short.
        std::size_t capacity = 16;
        while (capacity < snapshot.size() * 2)
            capacity *= 2;
        mask_ = capacity - 1;
        slots_.resize(capacity);
        for (const ConnectionInfo& record : snapshot) {
            Slot& slot = probe(record.ConnectionID);
            if (!slot.used) {
                slot.used = true;
                slot.id = record.ConnectionID;
                slot.active_time = record.ActiveTime;
            }
        }
    }

    // The slot of `id`, or null when no snapshot record has it.
    Slot* find(uint32_t id) {
        Slot& slot = probe(id);
        return slot.used ? &slot : nullptr;
    }

    // The slot of an ID that a snapshot record carries.
    Slot& of(const ConnectionInfo& record) { return probe(record.ConnectionID); }

private:
    // Session IDs tend to be sequential or share low bits; mixing all bits (the MurmurHash3
    // finaliser) spreads them over the table.
    static uint32_t mix(uint32_t id) {
        id ^= id >> 16;
        id *= 0x85ebca6bU;
        id ^= id >> 13;
        id *= 0xc2b2ae35U;
        id ^= id >> 16;
        return id;
    }

    // The slot that holds `id`, or the empty slot where it belongs.
    Slot& probe(uint32_t id) {
        std::size_t at = mix(id) & mask_;
        while (slots_[at].used && slots_[at].id != id)
            at = (at + 1) & mask_;
        return slots_[at];
    }

    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
};

} // namespace

uint32_t presenceIntervalSeconds(int32_t interval_minutes) {
    // The product wraps like a 32-bit multiplication; computing it unsigned avoids signed overflow.
    // It counts as positive when its sign bit is clear and it is not zero.
    const uint32_t seconds = static_cast<uint32_t>(interval_minutes) * 60U;
    return seconds <= 0x7fffffffU ? seconds : 0;
}

int detectConnectionEvents(std::vector<ConnectionInfo>& tracked, const std::vector<ConnectionInfo>& snapshot,
                           std::vector<ShareEvent>& events, int32_t interval_minutes) {
    events.clear();
    const uint32_t interval = presenceIntervalSeconds(interval_minutes);
    SnapshotIndex index(snapshot);

    // First pass: refresh or report the tracked sessions, compacting the survivors towards the
    // front in one sweep so that removals keep the order of the others.
    std::size_t kept = 0;
    for (std::size_t read = 0; read < tracked.size(); ++read) {
        ConnectionInfo& entry = tracked[read];
        SnapshotIndex::Slot* slot = index.find(entry.ConnectionID);
        if (slot == nullptr) {
            // The entry is removed below, so the event can take it over.
            events.push_back(ShareEvent{Leave, std::move(entry)});
            continue;
        }
        slot->tracked = true;
        entry.ActiveTime = slot->active_time;
        // Unsigned difference: an ActiveTime below the last report wraps to a large value.
        if (interval != 0 && entry.ActiveTime - entry.LastReportTime >= interval) {
            DebugTrace("%s: adding presence", TRACE_TAG);
            entry.LastReportTime = entry.ActiveTime;
            events.push_back(ShareEvent{Presence, entry});
        }
        if (kept != read)
            tracked[kept] = std::move(entry);
        ++kept;
    }
    tracked.erase(tracked.begin() + static_cast<std::ptrdiff_t>(kept), tracked.end());

    // Second pass: every snapshot ID not tracked yet is new; its first record is the one reported
    // and tracked, and marking it tracked turns later duplicates away.
    for (const ConnectionInfo& record : snapshot) {
        SnapshotIndex::Slot& slot = index.of(record);
        if (slot.tracked)
            continue;
        slot.tracked = true;
        ShareEvent event{Enter, record};
        event.Connection.LastReportTime = event.Connection.ActiveTime;
        tracked.push_back(event.Connection);
        events.push_back(std::move(event));
    }
    return 0;
}

ConnectionTracker& connectionTracker() {
    static ConnectionTracker tracker;
    return tracker;
}
