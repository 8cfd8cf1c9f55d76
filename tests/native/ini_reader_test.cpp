// The native INI reader and the lookup rules it shares with the DLL's reader.

#include "ini_read_cases.h"

#include "config/ini_document.h"
#include "config/ini_section.h"
#include "config/settings_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(IniReadCases, EachFileLoadsAsExpected) {
    for (const IniReadCase& c : ini_cases::iniReadCases()) {
        SCOPED_TRACE(c.name);
        TextIniReader reader(c.file);
        EXPECT_EQ(readSettings(reader), c.expected);
    }
}

TEST(ProfileText, QuotesAreStrippedBeforeTheCut) {
    EXPECT_EQ(profileText("\"abcdef\"", 4), "abc");
    EXPECT_EQ(profileText("abcdef", 4), "abc");
    EXPECT_EQ(profileText("\"abc\"", 4), "abc");
    EXPECT_EQ(profileText("'abc'", 1), "");
    EXPECT_EQ(profileText("abc", 0), "");
    EXPECT_EQ(profileText("'", 8), "'");
    EXPECT_EQ(profileText("''", 8), "");
    EXPECT_EQ(profileText("'abc\"", 8), "'abc\"");
}

TEST(ProfileNumber, FollowsThePlatformConversion) {
    EXPECT_EQ(profileNumber("", -1), 0xffffffffu);
    EXPECT_EQ(profileNumber("''", 9), 9u);
    EXPECT_EQ(profileNumber("42", 9), 42u);
    EXPECT_EQ(profileNumber("-1", 9), 0xffffffffu);
    EXPECT_EQ(profileNumber("0xFFFFFFFF", 9), 0xffffffffu);
    EXPECT_EQ(profileNumber("0b", 9), 0u);
    EXPECT_EQ(profileNumber("0b12", 9), 1u);
    EXPECT_EQ(profileNumber("0o78", 9), 7u);
    EXPECT_EQ(profileNumber("\"-0x10\"", 9), static_cast<uint32_t>(-16));
    EXPECT_EQ(profileNumber("0", 9), 0u);
    // The value passes a 30-character buffer first: the 30th digit is never read.
    EXPECT_EQ(profileNumber(std::string(29, '0') + "7", 9), 0u);
    EXPECT_EQ(profileNumber(std::string(28, '0') + "7", 9), 7u);
}

TEST(IniSectionList, ReadsTheListThePlatformReturns) {
    const char list[] = "Key=value\0NoValue\0=empty key\0key=second\0Other==x\0\0";
    const IniSection section = IniSection::fromSectionList(list, sizeof list - 2);
    EXPECT_EQ(section.size(), 5u);
    EXPECT_EQ(section.text("KEY", "d", 64), "value");
    EXPECT_EQ(section.text("NoValue", "d", 64), "d");
    EXPECT_EQ(section.text("", "d", 64), "empty key");
    EXPECT_EQ(section.text("other", "d", 64), "=x");
    EXPECT_EQ(section.text(" other\t", "d", 64), "=x");
    EXPECT_EQ(section.text("missing", "default", 4), "def");
    EXPECT_EQ(section.number("missing", -5), static_cast<uint32_t>(-5));
    EXPECT_EQ(section.number("NoValue", 6), 6u);
}

TEST(IniSectionList, ACutListKeepsItsWholeLinesAndThePartOfTheLast) {
    const char list[] = "a=1\0b=2\0c=33";
    // A truncated list may end without the NUL of its last line.
    const IniSection section = IniSection::fromSectionList(list, sizeof list - 1);
    EXPECT_EQ(section.size(), 3u);
    EXPECT_EQ(section.text("c", "", 8), "33");
    EXPECT_EQ(IniSection::fromSectionList(list, 0).size(), 0u);
}

TEST(IniDocument, SplitsSectionsAsTheProfileReaderDoes) {
    const IniDocument document = IniDocument::parse(
        "top=0\r\n[A]\r\nx=1\r\n[ b ] trailing\r\ny=2\r\n[a]\r\nx=3\r\n[c]d]\r\nz=4\r\n[]\r\nw=5\r\nnul=ab" +
        std::string(1, '\0') + "cd\r\n");
    ASSERT_NE(document.section(""), nullptr);
    EXPECT_EQ(document.section("")->text("top", "", 8), "0");
    ASSERT_NE(document.section("a"), nullptr);
    EXPECT_EQ(document.section("a")->text("x", "", 8), "1");
    ASSERT_NE(document.section("B"), nullptr);
    EXPECT_EQ(document.section("B")->text("y", "", 8), "2");
    ASSERT_NE(document.section("c]d"), nullptr);
    EXPECT_EQ(document.section("c]d")->text("z", "", 8), "4");
    EXPECT_EQ(document.section("c"), nullptr);
    EXPECT_EQ(document.section("missing"), nullptr);
    // The unnamed section comes first, so "[]" adds nothing that can be found.
    EXPECT_EQ(document.section("")->text("w", "none", 8), "none");
}

// Records what the load asks for.
class RecordingReader : public IniReader {
public:
    explicit RecordingReader(uint32_t count) : count_(count) {}
    uint32_t readNumber(const char* section, const char* key, int32_t fallback) override {
        numbers.push_back(std::string(section) + "/" + key);
        return std::string(key) == "SourcesCount" ? count_ : static_cast<uint32_t>(fallback);
    }
    std::string readText(const char* section, const char* key, const char* fallback,
                         size_t buffer_size) override {
        texts.push_back(std::string(section) + "/" + key + "/" + std::to_string(buffer_size));
        return fallback;
    }
    std::vector<std::string> numbers;
    std::vector<std::string> texts;

private:
    uint32_t count_;
};

TEST(ReadSettings, AsksForEachKeyWithItsBufferSize) {
    RecordingReader reader(2);
    const PluginSettings settings = readSettings(reader);
    const std::vector<std::string> numbers = {"Settings/DebugMode",
                                              "Settings/SourceWatchMode",
                                              "Settings/PersistentAlerts",
                                              "Settings/PluginMode",
                                              "Settings/DisplayEnterEvents",
                                              "Settings/DisplayLeaveEvents",
                                              "Settings/DisplayPresenceEvents",
                                              "Settings/PresenceUpdateInterval",
                                              "Settings/WindowsEventLog",
                                              "Settings/LogFileEvents",
                                              "Settings/DisplayFileEvents",
                                              "Sources/SourcesCount",
                                              "Visitors/RulesCount"};
    EXPECT_EQ(reader.numbers, numbers);
    const std::vector<std::string> texts = {"Settings/LogFile/2048",
                                            "Settings/EnterEventsMessage/2048",
                                            "Settings/LeaveEventsMessage/2048",
                                            "Settings/PresenceEventsMessage/2048",
                                            "Settings/FileEventsMessage/2048",
                                            "Sources/SourceName1/1024",
                                            "Sources/SourcePath1/1024",
                                            "Sources/SourceName2/1024",
                                            "Sources/SourcePath2/1024"};
    EXPECT_EQ(reader.texts, texts);
    // Fallbacks are the defaults; missing source keys give empty texts.
    PluginSettings expected;
    expected.Sources.resize(2);
    EXPECT_EQ(settings, expected);
}

TEST(ReadSettings, SourcesCountIsLimited) {
    for (const auto& count : std::vector<std::pair<uint32_t, size_t>>{{99999u, 99999u},
                                                                      {100000u, 100000u},
                                                                      {100001u, 100000u},
                                                                      {2000000000u, 100000u},
                                                                      {0x80000000u, 0u},
                                                                      {0xffffffffu, 0u}}) {
        SCOPED_TRACE(count.first);
        RecordingReader reader(count.first);
        EXPECT_EQ(readSettings(reader).Sources.size(), count.second);
        EXPECT_EQ(reader.texts.size(), 5 + 2 * count.second);
    }
}

} // namespace
