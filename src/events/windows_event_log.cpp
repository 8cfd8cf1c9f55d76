#include "events/windows_event_log.h"

#include "events/message_template.h"
#include "events/rights_notice.h"

#include <atomic>

namespace {

std::atomic<bool>& noticeReported() {
    static std::atomic<bool> reported{false};
    return reported;
}

} // namespace

uint16_t windowsEventCategory(WindowsEventId id) {
    return id == EventIdRightsNotice ? kEventCategoryCount : static_cast<uint16_t>(id - EventIdEnter + 1);
}

bool windowsEventIdFor(EventKind kind, WindowsEventId& id) {
    // 4 and 5 are the kinds of a file opened and a file closed.
    switch (static_cast<int32_t>(kind)) {
    case 1:
        id = EventIdEnter;
        return true;
    case 2:
        id = EventIdLeave;
        return true;
    case 3:
        id = EventIdPresence;
        return true;
    case 4:
        id = EventIdFileOpened;
        return true;
    case 5:
        id = EventIdFileClosed;
        return true;
    default:
        return false;
    }
}

WindowsEvent windowsSessionEvent(WindowsEventId id, const ConnectionInfo& connection,
                                 const std::string& host_name, const std::string& file_path) {
    WindowsEvent event;
    event.id = id;
    event.category = windowsEventCategory(id);
    event.strings.resize(kWindowsEventStringCount);
    event.strings[StringUser] = connection.UserName;
    event.strings[StringAddress] = connection.ComputerName;
    event.strings[StringHostName] = host_name;
    event.strings[StringShare] = connection.ShareName;
    event.strings[StringConnectionId] = std::to_string(connection.ConnectionID);
    event.strings[StringActiveSeconds] = std::to_string(connection.ActiveTime);
    event.strings[StringNumberOfFiles] = std::to_string(connection.NumberOfFiles);
    event.strings[StringFilePath] = file_path;
    return event;
}

WindowsEvent windowsRightsNotice(const std::string& host_program) {
    WindowsEvent event;
    event.id = EventIdRightsNotice;
    event.type = WindowsEventType::Warning;
    event.category = windowsEventCategory(EventIdRightsNotice);
    event.strings.resize(kWindowsEventStringCount);
    event.strings[StringProgram] = rightsNoticeProgram(host_program);
    return event;
}

void reportToWindowsEventLog(const PluginSettings& settings, const ShareEvent& event, NameWait wait) {
    WindowsEventId id;
    if (settings.WindowsEventLog == 0 || !windowsEventIdFor(event.Kind, id))
        return;
    const ConnectionInfo& connection = event.Connection;
    platformReportEvent(windowsSessionEvent(
        id, connection, resolveComputerName(connection.ComputerName, wait), event.FilePath));
}

bool reportRightsNoticeToWindowsEventLog(const PluginSettings& settings, const std::string& host_program) {
    if (settings.WindowsEventLog == 0 || noticeReported().exchange(true))
        return false;
    platformReportEvent(windowsRightsNotice(host_program));
    return true;
}

void rearmWindowsEventLogNotice() {
    noticeReported().store(false);
}
