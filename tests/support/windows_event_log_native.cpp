#include "support/windows_event_recorder.h"

#include <mutex>

namespace {
std::mutex events_mutex;
std::vector<WindowsEvent>& events() {
    static std::vector<WindowsEvent> recorded;
    return recorded;
}
} // namespace

void platformReportEvent(const WindowsEvent& event) {
    std::lock_guard<std::mutex> hold(events_mutex);
    events().push_back(event);
}

std::vector<WindowsEvent> recordedWindowsEvents() {
    std::lock_guard<std::mutex> hold(events_mutex);
    return events();
}

void clearRecordedWindowsEvents() {
    std::lock_guard<std::mutex> hold(events_mutex);
    events().clear();
}
