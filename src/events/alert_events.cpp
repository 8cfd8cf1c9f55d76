#include "events/alert_events.h"

#include "base/abandonable_mutex.h"
#include "base/trace.h"
#include "monitor/connection_info.h"
#include "base/ascii_case.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_set>

namespace {
const char* printable(const char* text) {
    return text ? text : "(null)";
}

// The copies handed to the host and not yet destroyed. Alerts are requested on
// the watcher and the user-interface thread, and the host reports their end on
// whichever thread it likes. The watcher may be ended by force while it holds
// the lock, so it is one that the next taker gets anyway.
struct LiveCopies {
    AbandonableMutex lock;
    std::unordered_set<const void*> copies;
};

LiveCopies& liveCopies() {
    static LiveCopies live;
    return live;
}

// Forgets and frees a live copy; false when `user_data` is none (any more).
bool releaseAlertCopy(void* user_data) {
    LiveCopies& live = liveCopies();
    {
        std::lock_guard<AbandonableMutex> hold(live.lock);
        if (live.copies.erase(user_data) == 0)
            return false;
    }
    delete static_cast<ConnectionInfo*>(user_data);
    return true;
}
} // namespace

ConnectionInfo* newAlertCopy(const ConnectionInfo& connection) {
    auto copy = std::make_unique<ConnectionInfo>(connection);
    LiveCopies& live = liveCopies();
    std::lock_guard<AbandonableMutex> hold(live.lock);
    live.copies.insert(copy.get());
    return copy.release();
}

AlertEventAction handleAlertEvent(const char* text, const char* event_name, const void* user_data) {
    // The address is a 32-bit value in the DLL; a native build shows its low half.
    const unsigned int address = static_cast<unsigned int>(reinterpret_cast<std::uintptr_t>(user_data));
    DebugTrace("%s: SYSTRAY : [%s][%s] / %.8X", TRACE_TAG, printable(text), printable(event_name), address);
    if (user_data == nullptr) {
        DebugTrace("%s: SYSTRAY : no user data!", TRACE_TAG);
        return AlertEventAction::Keep;
    }
    if (equalsIgnoringAsciiCase(event_name, host::kAlertLinkClick)) {
        DebugTrace("%s: SYSTRAY : alert_linkClick", TRACE_TAG);
        return AlertEventAction::Keep;
    }
    if (equalsIgnoringAsciiCase(event_name, host::kAlertDestroy))
        return AlertEventAction::Release;
    return AlertEventAction::Keep;
}

int TW_CDECL onAlertEvent(int /*unused*/, char* text, char* event, void* /*unused_pointer*/,
                          void* user_data) {
    try {
        // A second "alert_destroy" for an alert, or one for data we never handed
        // out, would otherwise free memory that is not (or no longer) ours.
        if (handleAlertEvent(text, event, user_data) == AlertEventAction::Release &&
            !releaseAlertCopy(user_data))
            DebugTrace("%s: SYSTRAY : unknown user data!", TRACE_TAG);
    } catch (...) {
        // The host's thread must never see an exception.
    }
    return 0;
}
