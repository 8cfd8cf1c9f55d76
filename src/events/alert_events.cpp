#include "events/alert_events.h"

#include "base/trace.h"
#include "monitor/connection_info.h"
#include "base/ascii_case.h"

#include <cstdint>

namespace {
const char* printable(const char* text) {
    return text ? text : "(null)";
}
} // namespace

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
        if (handleAlertEvent(text, event, user_data) == AlertEventAction::Release)
            delete static_cast<ConnectionInfo*>(user_data);
    } catch (...) {
        // The host's thread must never see an exception.
    }
    return 0;
}
