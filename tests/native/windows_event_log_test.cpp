#include "config/settings_store.h"
#include "events/event_dispatch.h"
#include "support/alert_recorder.h"
#include "support/windows_event_recorder.h"

#include <gtest/gtest.h>

namespace {

// The notice goes out once per start, only with the switch on and a mode that logs.
TEST(WindowsEventLog, RightsNoticeOncePerStartInTheModesThatLog) {
    for (int mode = Inactive; mode <= ShowAndLogEvents; ++mode)
        for (int32_t on : {0, 1}) {
            PluginSettings settings;
            settings.PluginMode = mode;
            settings.WindowsEventLog = on;
            replaceSettings(settings);
            recordedWindowsEvents().clear();
            rearmWindowsEventLogNotice();
            const bool expected = on != 0 && (mode == LogEvents || mode == ShowAndLogEvents);
            const bool alert = mode == ShowEvents || mode == ShowAndLogEvents;
            EXPECT_EQ(dispatchRightsNotice(""), expected || alert) << mode << on;
            EXPECT_EQ(dispatchRightsNotice(""), alert) << "the Event Log has it once";
            ASSERT_EQ(recordedWindowsEvents().size(), expected ? 1u : 0u);
            EXPECT_TRUE(!expected || recordedWindowsEvents()[0].strings[StringProgram] ==
                                         "the program that hosts Tarnwick");
        }
    replaceSettings(PluginSettings());
    recordedWindowsEvents().clear();
    clearRecordedAlerts();
}

} // namespace
