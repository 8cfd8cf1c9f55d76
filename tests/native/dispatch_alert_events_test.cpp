#include "base/trace.h"
#include "events/alert_events.h"
#include "monitor/connection_info.h"
#include "support/debug_output_capture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Tests never read through these: they only stand for user data addresses.
void* fakeAddress(std::uintptr_t value) {
    return reinterpret_cast<void*>(value);
}

std::string addressText(const void* pointer) {
    char text[16];
    std::snprintf(text, sizeof text, "%.8X",
                  static_cast<unsigned int>(reinterpret_cast<std::uintptr_t>(pointer)));
    return text;
}

class AlertEventTest : public ::testing::Test {
protected:
    void SetUp() override {
        clearCapturedTrace();
        set_debug_trace(true);
    }
    void TearDown() override { set_debug_trace(false); }
};

TEST_F(AlertEventTest, LinkClickInAnyCaseIsTracedAndKeepsTheCopy) {
    for (const char* name : {"alert_linkClick", "ALERT_LINKCLICK", "alert_linkclick", "Alert_LinkClick"}) {
        clearCapturedTrace();
        EXPECT_EQ(handleAlertEvent("Share <b>x</b>", name, fakeAddress(0xABC)), AlertEventAction::Keep)
            << name;
        const std::vector<std::string> expected = {
            std::string("TARNWICK: SYSTRAY : [Share <b>x</b>][") + name + "] / 00000ABC",
            "TARNWICK: SYSTRAY : alert_linkClick",
        };
        EXPECT_EQ(capturedTraceLines(), expected);
    }
}

TEST_F(AlertEventTest, DestroyInAnyCaseReleasesTheCopy) {
    for (const char* name : {"alert_destroy", "ALERT_DESTROY", "Alert_Destroy"}) {
        clearCapturedTrace();
        EXPECT_EQ(handleAlertEvent("t", name, fakeAddress(0x1234ABCD)), AlertEventAction::Release) << name;
        const std::vector<std::string> expected = {std::string("TARNWICK: SYSTRAY : [t][") + name +
                                                   "] / 1234ABCD"};
        EXPECT_EQ(capturedTraceLines(), expected);
    }
}

TEST_F(AlertEventTest, OtherNamesAndNullNamesAreIgnored) {
    for (const char* name : {"alert_show", "alert_destroyed", "alert_link", "", "alert_destroy "}) {
        clearCapturedTrace();
        EXPECT_EQ(handleAlertEvent("t", name, fakeAddress(0x10)), AlertEventAction::Keep) << name;
        EXPECT_EQ(capturedTraceLines().size(), 1u) << name;
    }
    clearCapturedTrace();
    EXPECT_EQ(handleAlertEvent(nullptr, nullptr, fakeAddress(0x10)), AlertEventAction::Keep);
    const std::vector<std::string> expected = {"TARNWICK: SYSTRAY : [(null)][(null)] / 00000010"};
    EXPECT_EQ(capturedTraceLines(), expected);
}

TEST_F(AlertEventTest, MissingUserDataIsToleratedForEveryEvent) {
    for (const char* name : {"alert_destroy", "alert_linkClick", "other"}) {
        clearCapturedTrace();
        EXPECT_EQ(handleAlertEvent("t", name, nullptr), AlertEventAction::Keep) << name;
        const std::vector<std::string> expected = {std::string("TARNWICK: SYSTRAY : [t][") + name +
                                                       "] / 00000000",
                                                   "TARNWICK: SYSTRAY : no user data!"};
        EXPECT_EQ(capturedTraceLines(), expected);
    }
}

// The callback itself: the copy lives through link clicks and unknown events and
// is freed at the end of the alert (the sanitizer build catches a leak or a
// second free).
TEST_F(AlertEventTest, CallbackFreesTheCopyOnlyAtDestroy) {
    ConnectionInfo* copy = newAlertCopy(ConnectionInfo());
    copy->UserName = "alice";
    char text[] = "Share <b>Public</b>";
    char click[] = "alert_linkClick";
    char other[] = "alert_show";
    char destroy[] = "alert_destroy";
    EXPECT_EQ(onAlertEvent(0, text, click, nullptr, copy), 0);
    EXPECT_EQ(onAlertEvent(0, text, other, nullptr, copy), 0);
    EXPECT_EQ(copy->UserName, "alice");
    const std::string address = addressText(copy);
    EXPECT_EQ(onAlertEvent(0, text, destroy, nullptr, copy), 0);

    const std::vector<std::string> expected = {
        "TARNWICK: SYSTRAY : [Share <b>Public</b>][alert_linkClick] / " + address,
        "TARNWICK: SYSTRAY : alert_linkClick",
        "TARNWICK: SYSTRAY : [Share <b>Public</b>][alert_show] / " + address,
        "TARNWICK: SYSTRAY : [Share <b>Public</b>][alert_destroy] / " + address,
    };
    EXPECT_EQ(capturedTraceLines(), expected);
}

// A second "alert_destroy" for an alert, or one whose user data was never handed
// out (here a record on the stack), frees nothing; freeing either would abort
// this build.
TEST_F(AlertEventTest, OnlyALiveCopyIsFreedAtDestroy) {
    ConnectionInfo* copy = newAlertCopy(ConnectionInfo());
    ConnectionInfo stranger;
    char destroy[] = "alert_destroy";
    EXPECT_EQ(onAlertEvent(0, nullptr, destroy, nullptr, copy), 0);
    for (const void* data : {static_cast<const void*>(copy), static_cast<const void*>(&stranger)}) {
        clearCapturedTrace();
        EXPECT_EQ(onAlertEvent(0, nullptr, destroy, nullptr, const_cast<void*>(data)), 0);
        const std::vector<std::string> expected = {
            "TARNWICK: SYSTRAY : [(null)][alert_destroy] / " + addressText(data),
            "TARNWICK: SYSTRAY : unknown user data!",
        };
        EXPECT_EQ(capturedTraceLines(), expected);
    }
}

TEST_F(AlertEventTest, CallbackReturnsZeroWithoutUserDataOrNames) {
    char destroy[] = "alert_destroy";
    EXPECT_EQ(onAlertEvent(1, nullptr, destroy, nullptr, nullptr), 0);
    EXPECT_EQ(onAlertEvent(1, nullptr, nullptr, nullptr, nullptr), 0);
    const std::vector<std::string> trace = capturedTraceLines();
    ASSERT_EQ(trace.size(), 4u);
    EXPECT_EQ(trace[1], "TARNWICK: SYSTRAY : no user data!");
    EXPECT_EQ(trace[3], "TARNWICK: SYSTRAY : no user data!");
}

TEST_F(AlertEventTest, CallbackMatchesTheHostsAlertCallbackType) {
    const AlertCallback callback = onAlertEvent;
    ConnectionInfo* copy = newAlertCopy(ConnectionInfo());
    char destroy[] = "ALERT_destroy";
    EXPECT_EQ(callback(0, nullptr, destroy, nullptr, copy), 0);
    EXPECT_EQ(capturedTraceLines().size(), 1u);
}

} // namespace
