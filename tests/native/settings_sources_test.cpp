// find_source: the exact, case-sensitive test for a selected source.

#include "base/trace.h"
#include "config/preferences.h"
#include "config/settings_store.h"
#include "support/debug_output_capture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class FindSource : public ::testing::Test {
protected:
    void SetUp() override {
        PluginSettings settings;
        settings.Sources = {
            {"Public", "C:\\Public"}, {"Music Share", "D:\\Music"}, {"", ""}, {"Public", "E:\\"}};
        replaceSettings(settings);
        clearCapturedTrace();
        set_debug_trace(true);
    }
    void TearDown() override {
        set_debug_trace(false);
        replaceSettings(PluginSettings());
    }
};

TEST_F(FindSource, MatchesTheWholeNameExactly) {
    EXPECT_TRUE(find_source("Public"));
    EXPECT_TRUE(find_source("Music Share"));
    EXPECT_FALSE(find_source("public"));
    EXPECT_FALSE(find_source("PUBLIC"));
    EXPECT_FALSE(find_source("Publi"));
    EXPECT_FALSE(find_source("Public "));
    EXPECT_FALSE(find_source("Music"));
    const std::vector<std::string> expected = {
        "TARNWICK: SOURCE [Public] FOUND!",       "TARNWICK: SOURCE [Music Share] FOUND!",
        "TARNWICK: SOURCE [public] NOT FOUND!!!", "TARNWICK: SOURCE [PUBLIC] NOT FOUND!!!",
        "TARNWICK: SOURCE [Publi] NOT FOUND!!!",  "TARNWICK: SOURCE [Public ] NOT FOUND!!!",
        "TARNWICK: SOURCE [Music] NOT FOUND!!!",
    };
    EXPECT_EQ(capturedTraceLines(), expected);
}

TEST_F(FindSource, AnEmptySourceNameMatchesOnlyAnEmptyShareName) {
    EXPECT_TRUE(find_source(""));
    EXPECT_FALSE(find_source(nullptr));
    EXPECT_EQ(capturedTraceLines(),
              (std::vector<std::string>{"TARNWICK: SOURCE [] FOUND!", "TARNWICK: SOURCE [] NOT FOUND!!!"}));
}

TEST_F(FindSource, NoSourcesFindNothing) {
    replaceSettings(PluginSettings());
    EXPECT_FALSE(find_source("Public"));
    EXPECT_EQ(capturedTraceLines(), std::vector<std::string>{"TARNWICK: SOURCE [Public] NOT FOUND!!!"});
}

TEST_F(FindSource, FollowsTheCurrentSettings) {
    EXPECT_FALSE(find_source("Videos"));
    updateSettings([](PluginSettings& s) { s.Sources.push_back({"Videos", "F:\\"}); });
    EXPECT_TRUE(find_source("Videos"));
}

TEST_F(FindSource, SearchesAGivenSnapshotAsWell) {
    PluginSettings other;
    other.Sources = {{"Only", ""}};
    EXPECT_TRUE(findSourceIn(other, "Only"));
    EXPECT_FALSE(findSourceIn(other, "Public"));
    EXPECT_EQ(capturedTraceLines(), (std::vector<std::string>{"TARNWICK: SOURCE [Only] FOUND!",
                                                              "TARNWICK: SOURCE [Public] NOT FOUND!!!"}));
}

TEST_F(FindSource, SilentWhileTheTraceIsOff) {
    set_debug_trace(false);
    EXPECT_TRUE(find_source("Public"));
    EXPECT_TRUE(capturedTraceLines().empty());
}

} // namespace
