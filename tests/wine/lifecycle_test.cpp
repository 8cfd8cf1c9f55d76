// The exports and the lifecycle, through the real DLL.

#include "plugin_fixture.h"

#include <winsock2.h>

#include <algorithm>
#include <cstring>

namespace {

using hoststub::requestsNamed;
using hoststub::sendSimple;

size_t countLines(const std::string& line) {
    const auto lines = pluginTrace();
    return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
}

bool anyLineContains(const std::string& fragment) {
    for (const std::string& line : pluginTrace()) {
        if (line.find(fragment) != std::string::npos)
            return true;
    }
    return false;
}

// The process's Winsock startups that no cleanup has matched yet; gives them back.
int winsockStartupsLeft() {
    int left = 0;
    while (left < 100 && WSACleanup() == 0)
        ++left;
    return left;
}

using Lifecycle = PluginTest;

TEST_F(Lifecycle, VersionIsTwoAtAnyTime) {
    EXPECT_EQ(hoststub::callVersion(), 2);
    ASSERT_EQ(hoststub::sendLoad(home_.c_str()), 0);
    EXPECT_EQ(hoststub::callVersion(), 2);
    sendSimple("unload");
    EXPECT_EQ(hoststub::callVersion(), 2);
}

TEST_F(Lifecycle, LoadFillsTheInformationRecord) {
    host::LoadRecord record{};
    std::memset(&record, 0x55, sizeof record);
    ASSERT_EQ(hoststub::sendLoad(home_.c_str(), &record), 0);
    EXPECT_STREQ(record.guid, "9F3E27A1-6B4C-4d82-A0E5-7C19B2D4F630");
    EXPECT_STREQ(record.name, "Tarnwick");
    EXPECT_STREQ(record.version, "1.0");
    EXPECT_STREQ(record.description, "Tarnwick plugin for Trillian.");
    EXPECT_NE(record.company[0], '\0');
    EXPECT_NE(std::memchr(record.company, '\0', sizeof record.company), nullptr);
}

TEST_F(Lifecycle, LoadWithNullRecordLinksNothing) {
    EXPECT_EQ(hoststub::callMain("load", nullptr), 0);
    EXPECT_EQ(sendSimple("start"), 0);
    EXPECT_TRUE(requestsNamed("prefsInitialize").empty());
}

TEST_F(Lifecycle, ModuleEntryLoadsTheRichEditLibraryWithoutVisibleTrace) {
    EXPECT_NE(GetModuleHandleA("RICHED32.DLL"), nullptr);
    ASSERT_EQ(loadWithTrace(), 0);
    // Lines before the first settings load never appear, even with DebugMode on.
    EXPECT_FALSE(anyLineContains("LoadLibrary_ERROR"));
    EXPECT_FALSE(anyLineContains("Enter GLOBAL->plugin_load"));
    EXPECT_FALSE(anyLineContains("loading prefs from"));
    ASSERT_FALSE(pluginTrace().empty());
    EXPECT_EQ(pluginTrace().front(), "TARNWICK: Leave GLOBAL->load_preferences\n");
}

TEST_F(Lifecycle, HandlersNestInsideTheDispatcher) {
    ASSERT_EQ(loadWithTrace(), 0);
    hoststub::clearTrace();
    ASSERT_EQ(hoststub::sendLoad(home_.c_str()), 0);
    const std::vector<std::string> expected = {
        "TARNWICK: Enter GLOBAL->plugin_main\n",
        "TARNWICK: Enter GLOBAL->plugin_load\n",
        "TARNWICK: home_directory = [" + home_ + "]",
        "TARNWICK: Enter GLOBAL->load_preferences\n",
        "TARNWICK: loading prefs from [" + home_ + "\\tarnwick.ini]",
    };
    const auto lines = pluginTrace();
    ASSERT_GE(lines.size(), expected.size() + 3);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + expected.size()), expected);
    const std::vector<std::string> tail = {
        "TARNWICK: Leave GLOBAL->load_preferences\n",
        "TARNWICK: Leave GLOBAL->plugin_load\n",
        "TARNWICK: Leave GLOBAL->plugin_main\n",
    };
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()), tail);
}

TEST_F(Lifecycle, IniPathKeepsTheHostsTextUnchanged) {
    ASSERT_EQ(loadWithTrace(), 0);
    const std::string with_backslash = home_ + "\\";
    hoststub::clearTrace();
    ASSERT_EQ(hoststub::sendLoad(with_backslash.c_str()), 0);
    EXPECT_EQ(countLines("TARNWICK: loading prefs from [" + home_ + "\\\\tarnwick.ini]"), 1u);
    hoststub::clearTrace();
    ASSERT_EQ(hoststub::sendLoad(home_.c_str()), 0);
    EXPECT_EQ(countLines("TARNWICK: loading prefs from [" + home_ + "\\tarnwick.ini]"), 1u);
}

TEST_F(Lifecycle, LongTraceLinesAreCutAt4096Characters) {
    ASSERT_EQ(loadWithTrace(), 0);
    const std::string long_home = "C:\\" + std::string(5000, 'h');
    hoststub::clearTrace();
    ASSERT_EQ(hoststub::sendLoad(long_home.c_str()), 0);
    const std::string full = "TARNWICK: home_directory = [" + long_home + "]";
    EXPECT_EQ(countLines(full.substr(0, 4096)), 1u);
    sendSimple("unload");
}

TEST_F(Lifecycle, EventNamesMatchInAnyLetterCase) {
    ASSERT_EQ(loadWithTrace(), 0);
    EXPECT_EQ(sendSimple("START"), 0);
    ASSERT_EQ(requestsNamed("prefsInitialize").size(), 1u);
    hoststub::clearTrace();
    EXPECT_EQ(sendSimple("Stop"), 0);
    EXPECT_EQ(countLines("TARNWICK: Enter GLOBAL->plugin_stop\n"), 1u);
    EXPECT_EQ(sendSimple("UnLoad"), 0);
    EXPECT_EQ(countLines("TARNWICK: Enter GLOBAL->plugin_unload\n"), 1u);
}

TEST_F(Lifecycle, UnknownNamesOnlyPassTheDispatcher) {
    ASSERT_EQ(loadWithTrace(), 0);
    hoststub::clearTrace();
    EXPECT_EQ(sendSimple("stopped"), 0);
    EXPECT_EQ(sendSimple("initialLoad"), 0);
    EXPECT_EQ(sendSimple("FinalUnload"), 0);
    const std::vector<std::string> expected = {
        "TARNWICK: Enter GLOBAL->plugin_main\n",        "TARNWICK: Leave GLOBAL->plugin_main\n",
        "TARNWICK: Enter GLOBAL->plugin_main\n",        "TARNWICK: Enter GLOBAL->plugin_initialLoad\n",
        "TARNWICK: Leave GLOBAL->plugin_initialLoad\n", "TARNWICK: Leave GLOBAL->plugin_main\n",
        "TARNWICK: Enter GLOBAL->plugin_main\n",        "TARNWICK: Enter GLOBAL->plugin_finalUnload\n",
        "TARNWICK: Leave GLOBAL->plugin_finalUnload\n", "TARNWICK: Leave GLOBAL->plugin_main\n",
    };
    EXPECT_EQ(pluginTrace(), expected);
    EXPECT_TRUE(hoststub::requests().empty());
}

TEST_F(Lifecycle, StartAnnouncesThePreferencesEntry) {
    ASSERT_EQ(hoststub::sendLoad(home_.c_str()), 0);
    ASSERT_EQ(sendSimple("start"), 0);
    const auto prefs = requestsNamed("prefsInitialize");
    ASSERT_EQ(prefs.size(), 1u);
    EXPECT_EQ(prefs[0].guid, "9F3E27A1-6B4C-4d82-A0E5-7C19B2D4F630");
    EXPECT_EQ(prefs[0].struct_size, host::kRecordSizes.prefs_initialize);
    EXPECT_EQ(prefs[0].word4, 1u);
    EXPECT_EQ(prefs[0].entry_name, "Tarnwick");
    EXPECT_EQ(prefs[0].word12, 0u);
    EXPECT_EQ(prefs[0].thread_id, GetCurrentThreadId());
}

TEST_F(Lifecycle, StopAndStartAgainRestartsMonitoring) {
    ASSERT_EQ(winsockStartupsLeft(), 0);
    ASSERT_EQ(loadWithTrace(), 0);
    ASSERT_EQ(sendSimple("start"), 0);
    ASSERT_EQ(sendSimple("stop"), 0);
    EXPECT_FALSE(anyLineContains("FORCE THREAD TERMINATION"))
        << "an idle watcher ends without the forced stop";
    hoststub::clearTrace();
    ASSERT_EQ(sendSimple("start"), 0);
    EXPECT_EQ(requestsNamed("prefsInitialize").size(), 2u);
    // The settings are read again at the second start.
    EXPECT_EQ(countLines("TARNWICK: Enter GLOBAL->load_preferences\n"), 1u);
    ASSERT_EQ(sendSimple("stop"), 0);
    EXPECT_FALSE(anyLineContains("FORCE THREAD TERMINATION"));
    EXPECT_EQ(closesocket(socket(AF_INET, SOCK_DGRAM, 0)), 0)
        << WSAGetLastError() << ": Winsock must outlive \"stop\" for the preferences window's lookups";
    ASSERT_EQ(sendSimple("unload"), 0);
    EXPECT_EQ(winsockStartupsLeft(), 0) << "one cleanup for each startup, at unload";
}

TEST_F(Lifecycle, TheLogoExistsFromStartToStop) {
    ASSERT_EQ(hoststub::sendLoad(home_.c_str()), 0);
    host::PrefsShowRecord record{};
    ASSERT_EQ(hoststub::sendPrefsShow(0, "Tarnwick", nullptr, 0, 0, &record), 0);
    EXPECT_EQ(record.bitmap, nullptr);
    ASSERT_EQ(sendSimple("start"), 0);
    ASSERT_EQ(hoststub::sendPrefsShow(0, "Tarnwick", nullptr, 0, 0, &record), 0);
    ASSERT_NE(record.bitmap, nullptr);
    BITMAP logo{};
    ASSERT_NE(GetObjectA(static_cast<HBITMAP>(record.bitmap), sizeof logo, &logo), 0);
    EXPECT_EQ(logo.bmWidth, 48);
    EXPECT_EQ(logo.bmHeight, 48);
    EXPECT_STREQ(record.title, "Tarnwick Preferences");
    ASSERT_EQ(sendSimple("stop"), 0);
    ASSERT_EQ(hoststub::sendPrefsShow(0, "Tarnwick", nullptr, 0, 0, &record), 0);
    EXPECT_EQ(record.bitmap, nullptr);
}

TEST_F(Lifecycle, StopAfterUnloadIsIgnored) {
    ASSERT_EQ(loadWithTrace(), 0);
    ASSERT_EQ(sendSimple("start"), 0);
    ASSERT_EQ(sendSimple("unload"), 0);
    hoststub::clearTrace();
    EXPECT_EQ(sendSimple("stop"), 0);
    EXPECT_FALSE(anyLineContains("plugin_stop"));
    EXPECT_EQ(countLines("TARNWICK: Enter GLOBAL->plugin_main\n"), 1u);
}

TEST_F(Lifecycle, NothingIsRequestedOnceTheHostIsGone) {
    ASSERT_EQ(hoststub::sendLoad(home_.c_str()), 0);
    ASSERT_EQ(sendSimple("unload"), 0);
    hoststub::clearRequests();
    // A start without a linked host must not call the missing callback.
    EXPECT_EQ(sendSimple("start"), 0);
    EXPECT_EQ(hoststub::sendPrefsAction(2), 0);
    EXPECT_TRUE(hoststub::requests().empty());
}

} // namespace
