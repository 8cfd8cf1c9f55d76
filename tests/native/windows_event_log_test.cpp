#include "config/plugin_settings.h"
#include "events/windows_event_log.h"
#include "support/name_service_stub.h"
#include "support/windows_event_recorder.h"

#include <gtest/gtest.h>

namespace {

// Every kind that has an id, and the ones that will: what Event Viewer and a
// collector filter on.
TEST(WindowsEventLog, EachKindHasItsIdAndACategoryOfItsOwn) {
    struct Case {
        int kind;
        uint32_t id;
        uint16_t category;
    };
    const Case cases[] = {{1, 1001, 1}, {2, 1002, 2}, {3, 1003, 3}, {4, 1004, 4}, {5, 1005, 5}};
    for (const Case& c : cases) {
        WindowsEventId id = EventIdRightsNotice;
        ASSERT_TRUE(windowsEventIdFor(static_cast<EventKind>(c.kind), id)) << c.kind;
        EXPECT_EQ(id, c.id);
        EXPECT_EQ(windowsEventCategory(id), c.category);
    }
    WindowsEventId unknown = EventIdEnter;
    EXPECT_FALSE(windowsEventIdFor(static_cast<EventKind>(9), unknown));
    EXPECT_EQ(windowsEventCategory(EventIdFileClosedByTarnwick), 6);
    EXPECT_EQ(windowsEventCategory(EventIdSessionDisconnected), 7);
    EXPECT_EQ(windowsEventCategory(EventIdRightsNotice), kEventCategoryCount);
}

TEST(WindowsEventLog, StringsComeInTheirFixedOrder) {
    ConnectionInfo connection;
    connection.UserName = "alice";
    connection.ComputerName = "192.168.1.20";
    connection.ShareName = "Public";
    connection.ConnectionID = 42;
    connection.ActiveTime = 3600;
    connection.NumberOfFiles = 3;
    const WindowsEvent event =
        windowsSessionEvent(EventIdFileOpened, connection, "alice-pc", "docs\\plan.txt");
    EXPECT_EQ(event.type, WindowsEventType::Information);
    EXPECT_EQ(event.strings, (std::vector<std::string>{"alice", "192.168.1.20", "alice-pc", "Public", "42",
                                                       "3600", "3", "docs\\plan.txt", ""}));
    const WindowsEvent notice = windowsRightsNotice("");
    EXPECT_EQ(notice.type, WindowsEventType::Warning);
    EXPECT_EQ(notice.strings,
              (std::vector<std::string>{"", "", "", "", "", "", "", "", "the program that hosts Tarnwick"}));
}

// The notice goes out once per start, only with the switch on and a mode that logs.
TEST(WindowsEventLog, RightsNoticeOncePerStartInTheModesThatLog) {
    for (int mode = Inactive; mode <= ShowAndLogEvents; ++mode)
        for (int32_t on : {0, 1}) {
            PluginSettings settings;
            settings.PluginMode = mode;
            settings.WindowsEventLog = on;
            clearRecordedWindowsEvents();
            rearmWindowsEventLogNotice();
            const bool expected = on != 0 && (mode == LogEvents || mode == ShowAndLogEvents);
            EXPECT_EQ(reportRightsNoticeToWindowsEventLog(settings, "host.exe"), expected) << mode << on;
            EXPECT_FALSE(reportRightsNoticeToWindowsEventLog(settings, "host.exe"));
            const std::vector<WindowsEvent> events = recordedWindowsEvents();
            ASSERT_EQ(events.size(), expected ? 1u : 0u);
            if (expected) {
                EXPECT_EQ(events[0].id, 1100u);
                EXPECT_EQ(events[0].strings[StringProgram], "host.exe");
            }
        }
    clearRecordedWindowsEvents();
}

} // namespace
