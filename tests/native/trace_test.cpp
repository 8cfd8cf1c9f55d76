#include "base/trace.h"
#include "support/debug_output_capture.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

class TraceTest : public ::testing::Test {
protected:
    void SetUp() override {
        clearCapturedTrace();
        set_debug_trace(true);
    }
    void TearDown() override { set_debug_trace(false); }
};

TEST_F(TraceTest, SilentWhileDisabledAndFormatsWhenEnabled) {
    set_debug_trace(false);
    DebugTrace("%s: hidden %d\n", TRACE_TAG, 1);
    EXPECT_TRUE(capturedTraceLines().empty());
    set_debug_trace(true);
    DebugTrace("%s: shown %d", TRACE_TAG, 2);
    ASSERT_EQ(capturedTraceLines().size(), 1u);
    EXPECT_EQ(capturedTraceLines()[0], "TARNWICK: shown 2"); // no line end is added
}

TEST_F(TraceTest, LongTextIsCutToItsFirst4096Characters) {
    const std::string long_text(5000, 'x');
    DebugTrace("%s", long_text.c_str());
    ASSERT_EQ(capturedTraceLines().size(), 1u);
    EXPECT_EQ(capturedTraceLines()[0], long_text.substr(0, 4096));

    clearCapturedTrace();
    const std::string exact(4096, 'y');
    DebugTrace("%s", exact.c_str());
    EXPECT_EQ(capturedTraceLines().at(0), exact);
}

int tracedThrow() {
    FunctionTracer tracer("tracedThrow", "GLOBAL");
    throw std::runtime_error("boom");
}

TEST_F(TraceTest, TracerNestsAndLeavesAlsoOnException) {
    {
        FunctionTracer outer("plugin_main", "GLOBAL");
        FunctionTracer inner("plugin_load", "GLOBAL");
        DebugTrace("%s: body\n", TRACE_TAG);
    }
    EXPECT_THROW(tracedThrow(), std::runtime_error);
    const std::vector<std::string> expected = {
        "TARNWICK: Enter GLOBAL->plugin_main\n",
        "TARNWICK: Enter GLOBAL->plugin_load\n",
        "TARNWICK: body\n",
        "TARNWICK: Leave GLOBAL->plugin_load\n",
        "TARNWICK: Leave GLOBAL->plugin_main\n",
        "TARNWICK: Enter GLOBAL->tracedThrow\n",
        "TARNWICK: Leave GLOBAL->tracedThrow\n",
    };
    EXPECT_EQ(capturedTraceLines(), expected);
}

TEST_F(TraceTest, TracerKeepsItsOwnCopiesOfTheNames) {
    char name[] = "first";
    {
        FunctionTracer tracer(name, "GLOBAL");
        name[0] = 'F';
    }
    ASSERT_EQ(capturedTraceLines().size(), 2u);
    EXPECT_EQ(capturedTraceLines()[1], "TARNWICK: Leave GLOBAL->first\n");
}

} // namespace
