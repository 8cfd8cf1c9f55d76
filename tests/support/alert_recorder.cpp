#include "events/event_dispatch.h"
#include "support/alert_recorder.h"

#include <mutex>

namespace {
std::mutex alerts_mutex;
std::vector<RecordedAlert>& alerts() {
    static std::vector<RecordedAlert> recorded;
    return recorded;
}
} // namespace

void platformRequestAlert(const std::string& text, const ConnectionInfo* connection, int32_t persistent) {
    RecordedAlert alert;
    alert.text = text;
    alert.connection = connection != nullptr ? *connection : ConnectionInfo();
    alert.persistent = persistent;
    std::lock_guard<std::mutex> hold(alerts_mutex);
    alerts().push_back(std::move(alert));
}

std::vector<RecordedAlert> recordedAlerts() {
    std::lock_guard<std::mutex> hold(alerts_mutex);
    return alerts();
}

void clearRecordedAlerts() {
    std::lock_guard<std::mutex> hold(alerts_mutex);
    alerts().clear();
}
