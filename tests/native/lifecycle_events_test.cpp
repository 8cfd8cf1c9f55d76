#include "plugin/lifecycle_events.h"

#include <gtest/gtest.h>

namespace {

TEST(LifecycleEvents, NamesMatchInAnyLetterCase) {
    EXPECT_EQ(classifyLifecycleEvent("load", true), LifecycleEvent::Load);
    EXPECT_EQ(classifyLifecycleEvent("Start", true), LifecycleEvent::Start);
    EXPECT_EQ(classifyLifecycleEvent("PREFSSHOW", false), LifecycleEvent::PrefsShow);
    EXPECT_EQ(classifyLifecycleEvent("prefsaction", false), LifecycleEvent::PrefsAction);
    EXPECT_EQ(classifyLifecycleEvent("InitialLoad", false), LifecycleEvent::InitialLoad);
    EXPECT_EQ(classifyLifecycleEvent("FINALUNLOAD", false), LifecycleEvent::FinalUnload);
    EXPECT_EQ(classifyLifecycleEvent("unLoad", false), LifecycleEvent::Unload);
}

TEST(LifecycleEvents, WholeNameMustMatch) {
    EXPECT_EQ(classifyLifecycleEvent("stopped", true), LifecycleEvent::Unknown);
    EXPECT_EQ(classifyLifecycleEvent("loa", true), LifecycleEvent::Unknown);
    EXPECT_EQ(classifyLifecycleEvent("", true), LifecycleEvent::Unknown);
    EXPECT_EQ(classifyLifecycleEvent(nullptr, true), LifecycleEvent::Unknown);
}

TEST(LifecycleEvents, StopOnlyWhileLinked) {
    EXPECT_EQ(classifyLifecycleEvent("stop", true), LifecycleEvent::Stop);
    EXPECT_EQ(classifyLifecycleEvent("STOP", false), LifecycleEvent::Unknown);
}

TEST(LifecycleEvents, HandlerTracerNames) {
    EXPECT_STREQ(handlerTracerName(LifecycleEvent::Load), "plugin_load");
    EXPECT_STREQ(handlerTracerName(LifecycleEvent::FinalUnload), "plugin_finalUnload");
    EXPECT_STREQ(handlerTracerName(LifecycleEvent::PrefsAction), "plugin_prefsAction");
    EXPECT_EQ(handlerTracerName(LifecycleEvent::Unknown), nullptr);
}

} // namespace
