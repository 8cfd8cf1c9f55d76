#include "support/windows_event_recorder.h"

// Tests that report run on one thread; the others leave the Event Log off.
std::vector<WindowsEvent>& recordedWindowsEvents() {
    static std::vector<WindowsEvent> recorded;
    return recorded;
}

void platformReportEvent(const WindowsEvent& event) {
    recordedWindowsEvents().push_back(event);
}
