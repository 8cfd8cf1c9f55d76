#include "config/settings_store.h"
#include "events/event_dispatch.h"
#include "events/windows_event_log.h"
#include "support/alert_recorder.h"
#include "support/windows_event_recorder.h"

#include <gtest/gtest.h>

namespace {

// What Event Viewer and a collector filter on: each kind's id and category, the
// file kinds included, and the strings' fixed order.
TEST(WindowsEventLog, EachKindHasItsIdCategoryAndTheStringsInOrder) {
    for (int kind = 1; kind <= 5; ++kind) {
        WindowsEventId id = EventIdRightsNotice;
        ASSERT_TRUE(windowsEventIdFor(static_cast<EventKind>(kind), id)) << kind;
        EXPECT_EQ(id, 1000u + kind);
        EXPECT_EQ(windowsEventCategory(id), kind);
    }
    WindowsEventId unknown = EventIdEnter;
    EXPECT_FALSE(windowsEventIdFor(static_cast<EventKind>(9), unknown));
    EXPECT_EQ(windowsEventCategory(EventIdSessionDisconnected), 7);
    EXPECT_EQ(windowsEventCategory(EventIdRightsNotice), kEventCategoryCount);

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
}

// The notice goes out once per start, only with the switch on and a mode that logs.
TEST(WindowsEventLog, RightsNoticeOncePerStartInTheModesThatLog) {
    for (int mode = Inactive; mode <= ShowAndLogEvents; ++mode)
        for (int32_t on : {0, 1}) {
            PluginSettings settings;
            settings.PluginMode = mode;
            settings.WindowsEventLog = on;
            replaceSettings(settings);
            clearRecordedWindowsEvents();
            rearmWindowsEventLogNotice();
            const bool expected = on != 0 && (mode == LogEvents || mode == ShowAndLogEvents);
            const bool alert = mode == ShowEvents || mode == ShowAndLogEvents;
            EXPECT_EQ(dispatchRightsNotice(""), expected || alert) << mode << on;
            EXPECT_EQ(dispatchRightsNotice(""), alert) << "the Event Log has it once";
            const std::vector<WindowsEvent> events = recordedWindowsEvents();
            ASSERT_EQ(events.size(), expected ? 1u : 0u);
            if (expected) {
                EXPECT_EQ(events[0].type, WindowsEventType::Warning);
                EXPECT_EQ(events[0].strings[StringProgram], "the program that hosts Tarnwick");
            }
        }
    replaceSettings(PluginSettings());
    clearRecordedWindowsEvents();
    clearRecordedAlerts();
}

} // namespace
