// "prefsAction": apply and OK save, cancel saves nothing; the trace of each.

#include "plugin_fixture.h"

#include "../native/ini_read_cases.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using hoststub::clearTrace;
using hoststub::requestsNamed;
using hoststub::sendPrefsAction;

class PrefsAction : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        ASSERT_EQ(loadWithTrace(), 0);
        ASSERT_TRUE(DeleteFileA(iniPath().c_str()));
        clearTrace();
    }
    std::string savedLine(const char* what) const {
        return std::string("TARNWICK: ") + what + " [" + iniPath() + "]";
    }
    // The trace of a prefsAction that does nothing.
    static std::vector<std::string> tracersOnly() {
        return {
            "TARNWICK: Enter GLOBAL->plugin_main\n",
            "TARNWICK: Enter GLOBAL->plugin_prefsAction\n",
            "TARNWICK: Leave GLOBAL->plugin_prefsAction\n",
            "TARNWICK: Leave GLOBAL->plugin_main\n",
        };
    }
};

TEST_F(PrefsAction, ApplySavesTheSettingsInsideItsTracers) {
    EXPECT_EQ(sendPrefsAction(1), 0);
    EXPECT_EQ(readFile(iniPath()), formatSettingsFile([] {
                  PluginSettings s;
                  s.DebugMode = 1;
                  return s;
              }()));
    const std::vector<std::string> expected = {
        "TARNWICK: Enter GLOBAL->plugin_main\n",        "TARNWICK: Enter GLOBAL->plugin_prefsAction\n",
        "TARNWICK: Enter GLOBAL->update_preferences\n", "TARNWICK: Leave GLOBAL->update_preferences\n",
        "TARNWICK: Enter GLOBAL->save_preferences\n",   savedLine("saving prefs to"),
        "TARNWICK: Leave GLOBAL->save_preferences\n",   "TARNWICK: Leave GLOBAL->plugin_prefsAction\n",
        "TARNWICK: Leave GLOBAL->plugin_main\n",
    };
    EXPECT_EQ(pluginTrace(), expected);
}

TEST_F(PrefsAction, OkWithoutAWindowSavesAndRemovesNothing) {
    EXPECT_EQ(sendPrefsAction(2), 0);
    EXPECT_TRUE(fileExists(iniPath()));
    EXPECT_TRUE(requestsNamed("dialogRemove").empty());
    const auto lines = pluginTrace();
    EXPECT_NE(std::find(lines.begin(), lines.end(), savedLine("saving prefs to")), lines.end());
}

TEST_F(PrefsAction, CancelAndUnknownCodesSaveNothing) {
    for (const int code : {0, 3, -1, 0x7fffffff}) {
        SCOPED_TRACE(code);
        clearTrace();
        EXPECT_EQ(sendPrefsAction(code), 0);
        EXPECT_FALSE(fileExists(iniPath()));
        EXPECT_TRUE(requestsNamed("dialogRemove").empty());
        EXPECT_EQ(pluginTrace(), tracersOnly());
    }
}

TEST_F(PrefsAction, NullRecordReturnsZeroAndSavesNothing) {
    EXPECT_EQ(hoststub::callMain("prefsAction", nullptr), 0);
    EXPECT_FALSE(fileExists(iniPath()));
    EXPECT_EQ(pluginTrace(), tracersOnly());
}

TEST_F(PrefsAction, CancelAfterApplyKeepsWhatApplySaved) {
    writeIni("[Settings]\r\nDebugMode = 1\r\nPluginMode = 2\r\n");
    ASSERT_EQ(hoststub::sendLoad(home_.c_str()), 0);
    ASSERT_EQ(sendPrefsAction(1), 0);
    const std::string applied = readFile(iniPath());
    ASSERT_EQ(sendPrefsAction(0), 0);
    EXPECT_EQ(readFile(iniPath()), applied);
    EXPECT_NE(applied.find("PluginMode             = 2\r\n"), std::string::npos);
}

TEST_F(PrefsAction, DebugModeSevenSwitchesTheTraceOnAndZeroOff) {
    writeIni("[Settings]\r\nDebugMode = 7\r\n");
    ASSERT_EQ(hoststub::sendLoad(home_.c_str()), 0);
    ASSERT_EQ(sendPrefsAction(1), 0);
    EXPECT_NE(readFile(iniPath()).find("DebugMode              = 7\r\n"), std::string::npos);

    writeIni("[Settings]\r\nDebugMode = 0\r\n");
    clearTrace();
    ASSERT_EQ(hoststub::sendLoad(home_.c_str()), 0);
    // On while the load starts, off from its end: its last visible line is the path.
    ASSERT_FALSE(pluginTrace().empty());
    EXPECT_EQ(pluginTrace().back(), savedLine("loading prefs from"));
    clearTrace();
    ASSERT_EQ(sendPrefsAction(1), 0);
    EXPECT_TRUE(pluginTrace().empty());
}

} // namespace
