#pragma once
// The Windows Event Log beside the event log file: what each event becomes there
// (its id, type, category and insertion strings) and when it is written. The
// message table in the DLL (resources/tarnwick_messages.mc) holds the same ids,
// and the README lists the strings' order.

#include "config/plugin_settings.h"
#include "monitor/share_event.h"

#include <cstdint>
#include <string>
#include <vector>

// The source name in the Application log, and its registration under HKLM.
constexpr char kEventSourceName[] = "Tarnwick";
constexpr char kEventSourceKey[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Tarnwick";
// Error, warning and information.
constexpr uint32_t kEventTypesSupported = 7;

enum WindowsEventId : uint32_t {
    EventIdEnter = 1001,
    EventIdLeave = 1002,
    EventIdPresence = 1003,
    EventIdFileOpened = 1004,
    EventIdFileClosed = 1005,
    EventIdFileClosedByTarnwick = 1006,
    EventIdSessionDisconnected = 1007,
    EventIdRightsNotice = 1100,
};

// Each id has a category of its own, numbered from 1 in the order above.
constexpr uint16_t kEventCategoryCount = 8;
uint16_t windowsEventCategory(WindowsEventId id);

enum class WindowsEventType { Information, Warning };

// The insertion strings' fixed order: every event carries all of them, empty
// where the event has no such value, so %1 to %9 mean the same in every message.
enum WindowsEventString : size_t {
    StringUser,
    StringAddress,
    StringHostName,
    StringShare,
    StringConnectionId,
    StringActiveSeconds,
    StringNumberOfFiles,
    StringFilePath,
    StringProgram, // the program to run as administrator: the rights notice's only
    kWindowsEventStringCount,
};

struct WindowsEvent {
    WindowsEventId id = EventIdEnter;
    WindowsEventType type = WindowsEventType::Information;
    uint16_t category = 0;
    std::vector<std::string> strings; // kWindowsEventStringCount texts in the order above
};

// The id of a share event's kind; false for a kind that has none.
bool windowsEventIdFor(EventKind kind, WindowsEventId& id);

WindowsEvent windowsSessionEvent(WindowsEventId id, const ConnectionInfo& connection,
                                 const std::string& host_name, const std::string& file_path = std::string());
WindowsEvent windowsRightsNotice(const std::string& host_program);

// Called where the event's log line is written, so the same rules decide both:
// with WindowsEventLog on, the event goes to the Application log too.
void reportToWindowsEventLog(const PluginSettings& settings, const ShareEvent& event);

// The rights notice, once per start, with WindowsEventLog on; for the modes that
// log. True when it went out now.
bool reportRightsNoticeToWindowsEventLog(const PluginSettings& settings, const std::string& host_program);
// A new start may report the notice again.
void rearmWindowsEventLogNotice();

// Platform seam: RegisterEventSourceW and ReportEventW with the source
// kEventSourceName in the DLL (texts from the ANSI code page); recorded natively.
void platformReportEvent(const WindowsEvent& event);
