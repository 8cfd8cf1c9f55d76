#include "base/win32/host_link.h"
#include "events/alert_events.h"
#include "events/event_dispatch.h"

void platformRequestAlert(const std::string& text, const ConnectionInfo* connection, int32_t persistent) {
    // One read of the link decides: with no host there is no alert, and no copy
    // is made that nobody would ever free.
    const HostCallback callback = HostLink.load();
    if (callback == nullptr)
        return;
    // Owned by the alert from the request on; onAlertEvent frees it at "alert_destroy".
    ConnectionInfo* copy = connection != nullptr ? newAlertCopy(*connection) : nullptr;

    host::AlertRecord record{};
    record.struct_size = sizeof record;
    record.text = text.c_str();
    record.type = "mail";
    record.zero12 = 0;
    record.zero16 = 0;
    record.zero20 = 0;
    record.callback = onAlertEvent;
    record.user_data = copy;
    record.persistent = persistent;
    callback(host::kPluginGuid, host::kRequestSystraySetAlert, &record);
}
