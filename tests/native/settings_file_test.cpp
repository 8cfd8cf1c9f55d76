// The bytes of tarnwick.ini as a save writes them, and loading them back.

#include "ini_read_cases.h"

#include "config/ini_document.h"
#include "config/settings_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string lineOf(const std::string& file, const std::string& start) {
    const size_t at = file.find("\r\n" + start);
    if (at == std::string::npos)
        return std::string();
    const size_t end = file.find("\r\n", at + 2);
    return file.substr(at + 2, end - at - 2);
}

TEST(SettingsFile, DefaultsWriteTheDefaultFile) {
    EXPECT_EQ(formatSettingsFile(PluginSettings()), ini_cases::kDefaultFile);
}

TEST(SettingsFile, EqualsSignsStandInTheirColumns) {
    PluginSettings settings;
    for (int i = 1; i <= 10; ++i)
        settings.Sources.push_back({"N" + std::to_string(i), "P" + std::to_string(i)});
    settings.VisitorRules.assign(1001, VisitorRule{"u", "", 5}); // a thousand are written
    const std::string file = formatSettingsFile(settings);
    for (const char* key :
         {"DebugMode", "PersistentAlerts", "PluginMode", "LogFile", "DisplayEnterEvents",
          "EnterEventsMessage", "DisplayLeaveEvents", "LeaveEventsMessage", "DisplayPresenceEvents",
          "PresenceEventsMessage", "PresenceUpdateInterval", "SourceWatchMode", "SourcesCount", "RulesCount",
          "RuleUser1 ", "RuleComputer10 ", "RuleAction1000"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(lineOf(file, key).find(" = "), 22u); // the "=" in the 24th column
    }
    EXPECT_EQ(lineOf(file, "SourcesCount"), "SourcesCount           = 10");
    EXPECT_EQ(lineOf(file, "RulesCount"), "RulesCount             = 1000");
    EXPECT_EQ(lineOf(file, "RuleUser1 "), "RuleUser1              = \"u\"");
    EXPECT_EQ(lineOf(file, "RuleUser1001"), "");
    EXPECT_EQ(lineOf(file, "SourceName1 "), "SourceName1           = N1");
    EXPECT_EQ(lineOf(file, "SourcePath9 "), "SourcePath9           = P9");
    EXPECT_EQ(lineOf(file, "SourceName10"), "SourceName10           = N10");
    EXPECT_EQ(lineOf(file, "SourcePath10"), "SourcePath10           = P10");
    // Pairs follow each other in order, and the file ends with the last line's break.
    EXPECT_NE(file.find("SourceName1           = N1\r\nSourcePath1           = P1\r\nSourceName2 "),
              std::string::npos);
    EXPECT_NE(file.find("SourcePath10           = P10\r\n\r\n[Visitors]\r\n"), std::string::npos);
}

TEST(SettingsFile, ValuesAreWrittenVerbatimButForLineBreaks) {
    PluginSettings settings;
    settings.DebugMode = -2147483647 - 1;
    settings.PluginMode = 7;
    settings.PresenceUpdateInterval = 4294967289u; // written as a signed number
    settings.LogFile = "say \"hi\"";
    settings.EnterEventsMessage = "two\nlines";
    settings.Sources = {{" padded ", "\"C:\\x\""}};
    const std::string file = formatSettingsFile(settings);
    EXPECT_EQ(lineOf(file, "DebugMode"), "DebugMode              = -2147483648");
    EXPECT_EQ(lineOf(file, "PluginMode"), "PluginMode             = 7");
    EXPECT_EQ(lineOf(file, "PresenceUpdateInterval"), "PresenceUpdateInterval = -7");
    EXPECT_EQ(lineOf(file, "LogFile"), "LogFile                = \"say \"hi\"\"");
    // A line break inside a value is written as a blank, so the value keeps its line.
    EXPECT_EQ(lineOf(file, "EnterEventsMessage"), "EnterEventsMessage     = \"two lines\"");
    EXPECT_EQ(lineOf(file, "SourceName1"), "SourceName1           =  padded ");
    EXPECT_EQ(lineOf(file, "SourcePath1"), "SourcePath1           = \"C:\\x\"");
}

TEST(SettingsFile, ASavedFileLoadsBackToTheSameSettings) {
    const PluginSettings saved = ini_cases::variedSettings();
    TextIniReader reader(formatSettingsFile(saved));
    const PluginSettings loaded = readSettings(reader);
    EXPECT_EQ(loaded, saved);
    EXPECT_EQ(formatSettingsFile(loaded), formatSettingsFile(saved));
}

TEST(SettingsFile, FileEventKeysAreWrittenOnceSetAndLoadBack) {
    PluginSettings saved;
    saved.DisplayFileEvents = 1;
    const std::string file = formatSettingsFile(saved);
    EXPECT_EQ(lineOf(file, "LogFileEvents"), "LogFileEvents          = 0");
    TextIniReader reader(file);
    EXPECT_EQ(readSettings(reader), saved);
}

TEST(SettingsFile, LineBreaksInValuesReloadAsBlanks) {
    // A value's line break must not end its line in the file, or the rest of the
    // value would read as a key or a section header of its own.
    struct Case {
        const char* what;
        std::string value;
        std::string quoted_back;   // a template or the log file, written in quotes
        std::string unquoted_back; // a source name or path, written bare
    };
    const Case cases[] = {
        {"LF", "two\nlines", "two lines", "two lines"},
        {"CR LF", "two\r\nlines", "two lines", "two lines"},
        {"CR", "two\rlines", "two lines", "two lines"},
        {"each break one blank", "a\r\n\r\nb\n\rc", "a  b  c", "a  b  c"},
        {"break at the ends", "\r\nedge\n", " edge ", "edge"},
        {"keys after the break", "x\r\nDisplayPresenceEvents = 9\r\nSourcePath14 = C:\\",
         "x DisplayPresenceEvents = 9 SourcePath14 = C:\\",
         "x DisplayPresenceEvents = 9 SourcePath14 = C:\\"},
        {"a section after the break", "x\n[Sources]\nSourcesCount = 0", "x [Sources] SourcesCount = 0",
         "x [Sources] SourcesCount = 0"},
        {"no break", "<b>$UserName$</b>\t\"q\"", "<b>$UserName$</b>\t\"q\"", "<b>$UserName$</b>\t\"q\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PluginSettings saved = ini_cases::variedSettings();
        saved.LogFile = saved.EnterEventsMessage = saved.LeaveEventsMessage = saved.PresenceEventsMessage =
            c.value;
        saved.Sources[3] = {c.value, c.value};
        PluginSettings expected = saved;
        expected.LogFile = expected.EnterEventsMessage = expected.LeaveEventsMessage =
            expected.PresenceEventsMessage = c.quoted_back;
        expected.Sources[3] = {c.unquoted_back, c.unquoted_back};

        const std::string file = formatSettingsFile(saved);
        TextIniReader reader(file);
        EXPECT_EQ(readSettings(reader), expected);
        // 21 lines (WindowsEventLog is on), two per source, three per rule, each ending in CR LF and nowhere
        // else.
        size_t breaks = 0;
        for (size_t at = 0; (at = file.find_first_of("\r\n", at)) != std::string::npos; at += 2, ++breaks)
            ASSERT_EQ(file.compare(at, 2, "\r\n"), 0) << "at " << at;
        EXPECT_EQ(breaks, 21 + 2 * saved.Sources.size() + 3 * saved.VisitorRules.size());
    }
}

TEST(SettingsFile, SourceTextsLoseTheirOuterBlanksOnTheWayBack) {
    // Names and paths go unquoted, so only the inner blanks survive a reload.
    PluginSettings saved;
    saved.Sources = {{" Music Share ", "  D:\\My Music"}};
    TextIniReader reader(formatSettingsFile(saved));
    const PluginSettings loaded = readSettings(reader);
    ASSERT_EQ(loaded.Sources.size(), 1u);
    EXPECT_EQ(loaded.Sources[0].SourceName, "Music Share");
    EXPECT_EQ(loaded.Sources[0].SourcePath, "D:\\My Music");
}

TEST(PresenceInterval, NeverBelowFiveMinutes) {
    EXPECT_EQ(clampPresenceInterval(0), 5u);
    EXPECT_EQ(clampPresenceInterval(4), 5u);
    EXPECT_EQ(clampPresenceInterval(5), 5u);
    EXPECT_EQ(clampPresenceInterval(6), 6u);
    EXPECT_EQ(clampPresenceInterval(0xfffffff9u), 0xfffffff9u);
}

} // namespace
