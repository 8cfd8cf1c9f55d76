// tarnwick.ini through the real DLL: loaded at "load", saved by "prefsAction"
// apply, so the file a save writes shows what a load read.

#include "plugin_fixture.h"

#include "../native/ini_read_cases.h"
#include "config/settings_file.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using hoststub::clearTrace;
using hoststub::sendPrefsAction;

constexpr int kCancel = 0;
constexpr int kApply = 1;
constexpr int kOk = 2;

// Where two texts part, for failures that would otherwise print megabytes.
std::string firstDifference(const std::string& actual, const std::string& expected) {
    const auto parted = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    const size_t at = static_cast<size_t>(parted.first - actual.begin());
    const size_t from = at < 40 ? 0 : at - 40;
    return "sizes " + std::to_string(actual.size()) + " and " + std::to_string(expected.size()) +
           ", first difference at " + std::to_string(at) + ":\n  actual:   [" + actual.substr(from, 80) +
           "]\n  expected: [" + expected.substr(from, 80) + "]";
}

bool hasLine(const std::string& line) {
    const auto lines = pluginTrace();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class SettingsIni : public PluginTest {
protected:
    // Loads `file` as tarnwick.ini and saves it back through apply.
    std::string loadAndSave(const std::string& file) {
        writeIni(file);
        EXPECT_EQ(hoststub::sendLoad(home_.c_str()), 0);
        EXPECT_EQ(sendPrefsAction(kApply), 0);
        return readFile(iniPath());
    }
    std::string tracedPath() const { return "[" + iniPath() + "]"; }
};

TEST_F(SettingsIni, ApplyWithoutAFileWritesTheDefaults) {
    ASSERT_EQ(hoststub::sendLoad(home_.c_str()), 0);
    ASSERT_FALSE(fileExists(iniPath()));
    EXPECT_EQ(sendPrefsAction(kApply), 0);
    EXPECT_EQ(readFile(iniPath()), ini_cases::kDefaultFile);
    EXPECT_FALSE(fileExists(iniPath() + ".tmp"));
}

TEST_F(SettingsIni, EachFileOfTheSharedTableLoadsAsItDoesNatively) {
    for (const IniReadCase& c : ini_cases::iniReadCases()) {
        SCOPED_TRACE(c.name);
        const std::string saved = loadAndSave(c.file);
        const std::string expected = formatSettingsFile(c.expected);
        EXPECT_TRUE(saved == expected) << firstDifference(saved, expected);
    }
}

TEST_F(SettingsIni, ASavedFileLoadsBackToTheSameBytes) {
    const std::string file = formatSettingsFile(ini_cases::variedSettings());
    const std::string saved = loadAndSave(file);
    EXPECT_TRUE(saved == file) << firstDifference(saved, file);
    EXPECT_EQ(loadAndSave(saved), file);
}

TEST_F(SettingsIni, EveryLoadStartsFromTheDefaults) {
    loadAndSave("[Settings]\r\nPluginMode = 1\r\n[Sources]\r\nSourcesCount = 1\r\nSourceName1 = Public\r\n");
    ASSERT_TRUE(DeleteFileA(iniPath().c_str()));
    ASSERT_EQ(hoststub::sendLoad(home_.c_str()), 0);
    EXPECT_EQ(sendPrefsAction(kApply), 0);
    EXPECT_EQ(readFile(iniPath()), ini_cases::kDefaultFile);
}

TEST_F(SettingsIni, DebugModeSevenMakesTheLoadVisibleFromItsEnd) {
    // Off before, as in a fresh process, whatever ran earlier in this one.
    ASSERT_EQ(hoststub::sendLoad(home_.c_str()), 0);
    clearTrace();
    writeIni("[Settings]\r\nDebugMode = 7\r\n");
    ASSERT_EQ(hoststub::sendLoad(home_.c_str()), 0);
    const std::vector<std::string> expected = {
        "TARNWICK: Leave GLOBAL->load_preferences\n",
        "TARNWICK: Leave GLOBAL->plugin_load\n",
        "TARNWICK: Leave GLOBAL->plugin_main\n",
    };
    EXPECT_EQ(pluginTrace(), expected);
}

// How long such loads take is measured by scripts/bench-load.sh, not here.
TEST_F(SettingsIni, FiveThousandSourcesLoadAndSaveBackUnchanged) {
    PluginSettings settings;
    for (int i = 1; i <= 5000; ++i)
        settings.Sources.push_back({"Share" + std::to_string(i), "C:\\Shares\\Folder" + std::to_string(i)});
    const std::string file = formatSettingsFile(settings);
    writeIni(file);
    ASSERT_EQ(hoststub::sendLoad(home_.c_str()), 0);
    ASSERT_EQ(sendPrefsAction(kApply), 0);
    const std::string saved = readFile(iniPath());
    EXPECT_TRUE(saved == file) << firstDifference(saved, file);
}

TEST_F(SettingsIni, AHugeSourcesCountLoadsOnlyTheLimit) {
    writeIni("[Sources]\r\nSourcesCount = 2000000000\r\n");
    ASSERT_EQ(hoststub::sendLoad(home_.c_str()), 0);
    ASSERT_EQ(sendPrefsAction(kApply), 0);
    EXPECT_NE(readFile(iniPath()).find("SourcesCount           = 100000\r\n"), std::string::npos);
}

// A save that cannot replace the file leaves it as it was and only traces; the
// settings in memory stay, as the next successful save shows.
class UnwritableIni : public SettingsIni {
protected:
    const std::string original_ = "[Settings]\r\nDebugMode = 1\r\nPluginMode = 1\r\n; kept by hand\r\n";

    void loadOriginal() {
        writeIni(original_);
        ASSERT_EQ(hoststub::sendLoad(home_.c_str()), 0);
        clearTrace();
    }
    void expectOnlyTraced() {
        EXPECT_TRUE(hasLine("TARNWICK: error creating prefs file : " + tracedPath()));
        EXPECT_FALSE(fileExists(iniPath() + ".tmp"));
        EXPECT_TRUE(hoststub::requestsNamed("dialogRemove").empty());
    }
    void expectLoadedSettingsSaveOnceWritable() {
        PluginSettings loaded;
        loaded.DebugMode = 1;
        loaded.PluginMode = ShowEvents;
        clearTrace();
        ASSERT_EQ(sendPrefsAction(kApply), 0);
        EXPECT_EQ(readFile(iniPath()), formatSettingsFile(loaded));
        EXPECT_FALSE(hasLine("TARNWICK: error creating prefs file : " + tracedPath()));
    }
};

TEST_F(UnwritableIni, FileHeldOpenByAnotherProgram) {
    loadOriginal();
    HANDLE held = CreateFileA(iniPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(sendPrefsAction(kOk), 0);
    CloseHandle(held);
    EXPECT_EQ(readFile(iniPath()), original_);
    expectOnlyTraced();
    expectLoadedSettingsSaveOnceWritable();
}

TEST_F(UnwritableIni, ReadOnlyFile) {
    loadOriginal();
    ASSERT_TRUE(SetFileAttributesA(iniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(sendPrefsAction(kApply), 0);
    EXPECT_EQ(readFile(iniPath()), original_);
    expectOnlyTraced();
    ASSERT_TRUE(SetFileAttributesA(iniPath().c_str(), FILE_ATTRIBUTE_NORMAL));
    expectLoadedSettingsSaveOnceWritable();
}

TEST_F(UnwritableIni, DirectoryInPlaceOfTheFile) {
    loadOriginal();
    ASSERT_TRUE(DeleteFileA(iniPath().c_str()));
    ASSERT_TRUE(CreateDirectoryA(iniPath().c_str(), nullptr));
    EXPECT_EQ(sendPrefsAction(kApply), 0);
    EXPECT_NE(GetFileAttributesA(iniPath().c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    expectOnlyTraced();
    ASSERT_TRUE(RemoveDirectoryA(iniPath().c_str()));
    expectLoadedSettingsSaveOnceWritable();
}

TEST_F(UnwritableIni, MissingDirectory) {
    loadOriginal();
    ASSERT_TRUE(DeleteFileA(iniPath().c_str()));
    ASSERT_TRUE(RemoveDirectoryA(home_.c_str()));
    EXPECT_EQ(sendPrefsAction(kApply), 0);
    EXPECT_FALSE(fileExists(home_));
    EXPECT_TRUE(hasLine("TARNWICK: error creating prefs file : " + tracedPath()));
    ASSERT_TRUE(CreateDirectoryA(home_.c_str(), nullptr));
    expectLoadedSettingsSaveOnceWritable();
}

} // namespace
