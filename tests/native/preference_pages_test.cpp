// The models behind the preference pages: window placement, the sample test
// session, and how page values become settings.

#include "events/message_template.h"
#include "ui/page_values.h"
#include "ui/test_event.h"
#include "ui/window_geometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(WindowGeometry, CentresOnTheReferenceTruncatingHalvesTowardZero) {
    struct Case {
        ScreenRect window, reference;
        long x, y;
    };
    const Case cases[] = {
        {{0, 0, 100, 50}, {0, 0, 1000, 800}, 450, 375},
        {{10, 10, 20, 20}, {10, 10, 20, 20}, 10, 10},
        // Sums of -3 halve to -1, not -2; the window's own sum 1 halves to 0.
        {{0, 0, 1, 1}, {-2, -2, -1, -1}, -1, -1},
        {{-50, -40, 50, 40}, {100, 100, 301, 201}, 150, 110},
    };
    for (const Case& c : cases) {
        const ScreenPoint origin = centeredOrigin(c.window, c.reference);
        EXPECT_EQ(origin.x, c.x) << c.reference.left << "," << c.reference.right;
        EXPECT_EQ(origin.y, c.y) << c.reference.top << "," << c.reference.bottom;
    }
}

TEST(PageValues, PresenceIntervalIsTheLeadingNumberAtLeastFive) {
    struct Case {
        const char* text;
        uint32_t minutes;
    };
    const Case cases[] = {
        {"12", 12},
        {"12 minutes", 12},
        {"  7", 7},
        {"+8", 8},
        {"5", 5},
        {"3", 5},
        {"0", 5},
        {"abc", 30},
        {"", 30},
        {"-", 30},
        {"0x10", 5},
        {"4294967295", 2147483647},
        {"2147483647", 2147483647},
        // A negative number is not below 5 when compared unsigned.
        {"-3", 4294967293u},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parsePresenceInterval(c.text), c.minutes) << '"' << c.text << '"';
}

TEST(PageValues, ApplyCopiesEveryPageAndRebuildsSourcesFromSelectedRows) {
    PluginSettings settings;
    settings.DebugMode = 7;
    settings.PluginMode = ShowEvents;
    settings.Sources = {{"Old", "C:\\Old"}};

    PageValues values;
    values.shares_read = true;
    values.source_rows = {{"A", "C:\\A", 2},
                          {"B", "C:\\B", 1},
                          {"C", "C:\\C", 0},
                          {"A", "C:\\A", 2},
                          {std::string(1500, 'n'), std::string(1500, 'p'), 2}};
    values.sources_only = false;
    values.persistent_alerts = true;
    values.plugin_mode_selection = -1;
    values.log_file = std::string(3000, 'L');
    values.windows_event_log = true;
    values.display_enter = false;
    values.enter_message = "in";
    values.display_leave = true;
    values.leave_message = "out";
    values.display_presence = true;
    values.presence_message = "still";
    values.presence_interval = "3";
    applyPageValues(values, settings);

    const std::vector<SourceEntry> expected = {
        {"A", "C:\\A"}, {"C", "C:\\C"}, {"A", "C:\\A"}, {std::string(1023, 'n'), std::string(1023, 'p')}};
    EXPECT_EQ(settings.Sources, expected) << "unchecked rows drop out; no box and duplicates stay";
    EXPECT_EQ(settings.SourceWatchMode, SourcesOnlyLogAll);
    EXPECT_EQ(settings.PersistentAlerts, 1);
    EXPECT_EQ(settings.PluginMode, ShowEvents) << "no selection keeps the mode";
    EXPECT_EQ(settings.LogFile, std::string(2047, 'L'));
    EXPECT_EQ(settings.WindowsEventLog, 1);
    EXPECT_EQ(settings.DisplayEnterEvents, 0);
    EXPECT_EQ(settings.EnterEventsMessage, "in");
    EXPECT_EQ(settings.DisplayLeaveEvents, 1);
    EXPECT_EQ(settings.LeaveEventsMessage, "out");
    EXPECT_EQ(settings.DisplayPresenceEvents, 1);
    EXPECT_EQ(settings.PresenceEventsMessage, "still");
    EXPECT_EQ(settings.PresenceUpdateInterval, 5u);
    EXPECT_EQ(settings.DebugMode, 7) << "no page edits DebugMode";

    // A Sources page that could not read the shares leaves the stored sources alone.
    values.shares_read = false;
    values.source_rows.clear();
    values.sources_only = true;
    values.plugin_mode_selection = LogEvents;
    applyPageValues(values, settings);
    EXPECT_EQ(settings.Sources, expected);
    EXPECT_EQ(settings.SourceWatchMode, SourcesOnly);
    EXPECT_EQ(settings.PluginMode, LogEvents);

    // A read list with every row unchecked empties them.
    values.shares_read = true;
    values.source_rows = {{"A", "C:\\A", 1}};
    applyPageValues(values, settings);
    EXPECT_TRUE(settings.Sources.empty());
}

TEST(TestEvent, SampleSessionFillsEveryVariable) {
    std::string text = "$Name$|$Caption$|$ShareName$|$Description$|$ComputerName$|$UserName$|"
                       "$ConnectionID$|$NoOfFiles$|$NoOfUsers$|$ActiveTime$|$ActiveTimeMin$";
    const ShareEvent event = makeTestEvent(EventKind::Presence);
    EXPECT_EQ(event.Kind, EventKind::Presence);
    expandMessage(event.Connection, text);
    EXPECT_EQ(text, "Name|Caption|ShareName|Description|ComputerName|UserName|12345|10|20|01:01:01|61");
}

} // namespace
