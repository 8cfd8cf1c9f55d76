#include "monitor/connection_tracker.h"

#include "base/trace.h"

#include <cstddef>
#include <utility>

namespace {

// The snapshot indexed by ConnectionID for one poll. An open-addressing table maps each ID to the
// position of the first record that carries it, and one mark per record says whether the record
// repeats an earlier record's ID or carries an ID that the tracked table holds. With these the
// first pass costs at most one lookup per tracked entry and the second pass none at all.
class SnapshotIndex {
public:
    static constexpr uint32_t kAbsent = 0xffffffffU;

    // Positions are kept in 32 bits: a snapshot of 2^32 records would not fit in memory anyway.
    explicit SnapshotIndex(const std::vector<ConnectionInfo>& snapshot) : marks_(snapshot.size(), 0) {
        // At most half full keeps the linear probes short.
        std::size_t capacity = 16;
        while (capacity < snapshot.size() * 2)
            capacity *= 2;
        mask_ = capacity - 1;
        slots_.resize(capacity);
        for (std::size_t i = 0; i < snapshot.size(); ++i) {
            Slot& slot = probe(snapshot[i].ConnectionID);
            if (slot.position_plus_one == 0) {
                slot.id = snapshot[i].ConnectionID;
                slot.position_plus_one = static_cast<uint32_t>(i + 1);
            } else {
                marks_[i] = kRepeat;
            }
        }
    }

    // Position of the first record with `id`, or kAbsent (an empty slot's 0 wraps to it).
    [[nodiscard]] uint32_t firstWith(uint32_t id) { return probe(id).position_plus_one - 1; }

    void markTracked(uint32_t position) { marks_[position] |= kTracked; }

    // Whether no earlier record has the ID of the record at `position`.
    [[nodiscard]] bool isFirst(std::size_t position) const { return (marks_[position] & kRepeat) == 0; }

    // Whether the record at `position` is the first with an ID that the tracked table lacks.
    [[nodiscard]] bool isNew(std::size_t position) const { return marks_[position] == 0; }

private:
    static constexpr unsigned char kRepeat = 1;
    static constexpr unsigned char kTracked = 2;

    struct Slot {
        uint32_t id = 0;
        uint32_t position_plus_one = 0; // 0: empty
    };

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
        while (slots_[at].position_plus_one != 0 && slots_[at].id != id)
            at = (at + 1) & mask_;
        return slots_[at];
    }

    std::vector<Slot> slots_;
    std::vector<unsigned char> marks_;
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
    // front in one sweep so that removals keep the order of the others. The table is in order of first
    // sighting and the query tends to list the sessions in a stable order, so the record after the last match
    // is the likely one: when it has the entry's ID and no earlier record has, it is the first record with
    // that ID and the lookup can be skipped.
    std::size_t kept = 0;
    std::size_t next = 0;
    for (std::size_t read = 0; read < tracked.size(); ++read) {
        ConnectionInfo& entry = tracked[read];
        const bool next_matches = next < snapshot.size() &&
                                  snapshot[next].ConnectionID == entry.ConnectionID && index.isFirst(next);
        const uint32_t first =
            next_matches ? static_cast<uint32_t>(next) : index.firstWith(entry.ConnectionID);
        if (first == SnapshotIndex::kAbsent) {
            // The entry is removed below, so the event can take it over.
            events.push_back(ShareEvent{EventKind::Leave, std::move(entry)});
            continue;
        }
        next = std::size_t{first} + 1;
        index.markTracked(first);
        entry.ActiveTime = snapshot[first].ActiveTime;
        // Unsigned difference: an ActiveTime below the last report wraps to a large value.
        if (interval != 0 && entry.ActiveTime - entry.LastReportTime >= interval) {
            DebugTrace("%s: adding presence", TRACE_TAG);
            entry.LastReportTime = entry.ActiveTime;
            events.push_back(ShareEvent{EventKind::Presence, entry});
        }
        if (kept != read)
            tracked[kept] = std::move(entry);
        ++kept;
    }
    tracked.erase(tracked.begin() + static_cast<std::ptrdiff_t>(kept), tracked.end());

    // Second pass: the first record of each ID that is not tracked enters and is tracked from now
    // on; a repeated ID is by then tracked, either from before or through its first record.
    for (std::size_t i = 0; i < snapshot.size(); ++i) {
        if (!index.isNew(i))
            continue;
        ShareEvent event{EventKind::Enter, snapshot[i]};
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
