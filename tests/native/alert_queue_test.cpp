// The tray's alert queue under a burst, and its list of recent alerts.

#include "tray/alert_queue.h"

#include <gtest/gtest.h>

namespace {

TrayAlert alert(const std::string& text, bool persistent = false) {
    TrayAlert made;
    made.text = text;
    made.persistent = persistent;
    return made;
}

// Shows and closes every waiting alert; the texts in the order shown.
std::vector<std::string> drain(AlertQueue& queue) {
    std::vector<std::string> shown;
    while (const auto next = queue.showNext()) {
        shown.push_back(next->text);
        queue.closeShown();
    }
    return shown;
}

TEST(AlertQueue, ABurstBeyondTheLimitFoldsIntoOneCountShownLastAndComesBackToBeDestroyed) {
    AlertQueue queue;
    for (int i = 1; i <= 1000; ++i)
        queue.add(alert("event " + std::to_string(i), i == 500));
    const auto folded = queue.takeFolded();
    ASSERT_EQ(folded.size(), 1000 - kWaitingAlertLimit);
    EXPECT_EQ(folded.front().text, "event " + std::to_string(kWaitingAlertLimit + 1));
    EXPECT_TRUE(queue.takeFolded().empty());
    // An alert during the waiting ones' turn folds too, so the count is not put off.
    ASSERT_TRUE(queue.showNext());
    queue.closeShown();
    queue.add(alert("late"));
    EXPECT_EQ(queue.takeFolded().size(), 1u);
    const auto shown = drain(queue);
    ASSERT_EQ(shown.size(), kWaitingAlertLimit);
    EXPECT_EQ(shown.back(), "991 more events");
    // One of the folded was persistent, so the count stays on the recent list.
    ASSERT_EQ(queue.recent().size(), 1u);
    EXPECT_EQ(queue.recent()[0].text, "991 more events");
    // Folding is over: the next alert waits again.
    queue.add(alert("after"));
    EXPECT_TRUE(queue.takeFolded().empty());
    EXPECT_EQ(drain(queue), std::vector<std::string>{"after"});
}

TEST(AlertQueue, TheRecentListKeepsTheNewestAndHandsBackTheOldestToBeDestroyed) {
    AlertQueue queue;
    std::vector<std::string> destroyed;
    for (size_t i = 1; i <= kRecentAlertLimit + 2; ++i) {
        queue.add(alert("kept " + std::to_string(i), true));
        ASSERT_TRUE(queue.showNext());
        if (const auto pushed_off = queue.closeShown())
            destroyed.push_back(pushed_off->text);
    }
    EXPECT_EQ(destroyed, (std::vector<std::string>{"kept 1", "kept 2"}));
    const auto recent = queue.recent();
    ASSERT_EQ(recent.size(), kRecentAlertLimit);
    EXPECT_EQ(recent.front().text, "kept 3");
}

} // namespace
