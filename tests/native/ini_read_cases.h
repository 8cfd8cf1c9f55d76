#pragma once
// One table of tarnwick.ini files and the settings each loads as. The native
// tests run it against the text reader; the Wine tests run it through the real
// DLL, which reads with the platform's profile functions, and compare the file
// that apply saves. Both readers are so held to one behaviour.

#include "config/plugin_settings.h"
#include "config/settings_file.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

struct IniReadCase {
    std::string name;
    std::string file;
    PluginSettings expected;
};

// Shows a settings record as the file it saves to, shortened.
inline void PrintTo(const PluginSettings& settings, std::ostream* out) {
    const std::string text = formatSettingsFile(settings);
    *out << (text.size() > 1500 ? text.substr(0, 1500) + "..." : text);
}

namespace ini_cases {

// The file that the defaults save as, line by line.
inline const char kDefaultFile[] =
    "\r\n"
    "[Settings]\r\n"
    "DebugMode              = 0\r\n"
    "PersistentAlerts       = 0\r\n"
    "PluginMode             = 3\r\n"
    "LogFile                = \"tarnwicklog.txt\"\r\n"
    "DisplayEnterEvents     = 1\r\n"
    "EnterEventsMessage     = \"Share <b>$ShareName$</b> entered by <b>$UserName$ "
    "($ComputerRealName$)</b>.\"\r\n"
    "DisplayLeaveEvents     = 1\r\n"
    "LeaveEventsMessage     = \"Share <b>$ShareName$</b> leaved by <b>$UserName$ "
    "($ComputerRealName$)</b>.\"\r\n"
    "DisplayPresenceEvents  = 1\r\n"
    "PresenceEventsMessage  = \"Share <b>$ShareName$</b> accessed by <b>$UserName$ ($ComputerRealName$)</b> "
    "for <b>$ActiveTime$</b>.\"\r\n"
    "PresenceUpdateInterval = 30\r\n"
    "SourceWatchMode        = 1\r\n"
    "\r\n"
    "[Sources]\r\n"
    "SourcesCount           = 0\r\n";

// Settings that touch every field and every kind of text a save must carry.
inline PluginSettings variedSettings() {
    PluginSettings s;
    s.DebugMode = 0;
    s.PersistentAlerts = 1;
    s.PluginMode = 7;
    s.LogFile = "C:\\Program Files\\Tarnwick\\shares log.txt";
    s.DisplayEnterEvents = 0;
    s.EnterEventsMessage = "<i>$UserName$</i> \"quoted\" in $ShareName$";
    s.DisplayLeaveEvents = -1;
    s.LeaveEventsMessage = std::string(2047, 'L');
    s.DisplayPresenceEvents = 2;
    s.PresenceEventsMessage = "$ActiveTime$ \xe9t\xe9 \x80\xff";
    s.PresenceUpdateInterval = 4294967289u;
    s.SourceWatchMode = 0;
    s.WindowsEventLog = 2; // kept as read, and only written when not 0
    for (int i = 1; i <= 12; ++i)
        s.Sources.push_back({"Share " + std::to_string(i), "D:\\Shares\\" + std::to_string(i)});
    s.Sources.push_back({"Public", ""});
    s.Sources.push_back({"Public", std::string(1023, 'p')});
    return s;
}

using Change = std::function<void(PluginSettings&)>;

inline std::string repeated(char c, size_t count) {
    return std::string(count, c);
}

// A text of `count` characters that shows where a cut happened.
inline std::string counting(size_t count) {
    std::string text;
    text.reserve(count);
    for (size_t i = 0; i < count; ++i)
        text += static_cast<char>('a' + i % 26);
    return text;
}

inline std::string highBytes() {
    std::string text;
    for (int c = 0x80; c <= 0xff; ++c)
        text += static_cast<char>(c);
    return text;
}

inline std::vector<IniReadCase> iniReadCases() {
    std::vector<IniReadCase> cases;
    auto add = [&cases](const std::string& name, const std::string& file, const Change& change) {
        PluginSettings expected;
        change(expected);
        cases.push_back(IniReadCase{name, file, expected});
    };
    auto settingsWith = [](const std::string& lines) { return "[Settings]\r\n" + lines; };
    auto mode = [&](const std::string& name, const std::string& value, int32_t expected) {
        add("PluginMode " + name, settingsWith("PluginMode = " + value + "\r\n"),
            [expected](PluginSettings& s) { s.PluginMode = expected; });
    };
    const auto keep = [](PluginSettings&) {};

    // Missing pieces give the defaults.
    add("empty file", "", keep);
    add("no Settings section", "[Other]\r\nPluginMode = 1\r\nLogFile = other.txt\r\n", keep);
    add("keys before any section", "PluginMode = 1\r\n[Settings]\r\nDebugMode = 0\r\n", keep);

    // Every key of the Settings section, written as the plug-in writes it.
    add("every setting",
        "\r\n[Settings]\r\nDebugMode              = 0\r\nPersistentAlerts       = 1\r\n"
        "PluginMode             = 2\r\nLogFile                = \"C:\\Logs\\shares.txt\"\r\n"
        "DisplayEnterEvents     = 0\r\nEnterEventsMessage     = \"in $ShareName$\"\r\n"
        "DisplayLeaveEvents     = 0\r\nLeaveEventsMessage     = \"out $ShareName$\"\r\n"
        "DisplayPresenceEvents  = 0\r\nPresenceEventsMessage  = \"still $ActiveTime$\"\r\n"
        "PresenceUpdateInterval = 12\r\nSourceWatchMode        = 0\r\n",
        [](PluginSettings& s) {
            s.PersistentAlerts = 1;
            s.PluginMode = LogEvents;
            s.LogFile = "C:\\Logs\\shares.txt";
            s.DisplayEnterEvents = 0;
            s.EnterEventsMessage = "in $ShareName$";
            s.DisplayLeaveEvents = 0;
            s.LeaveEventsMessage = "out $ShareName$";
            s.DisplayPresenceEvents = 0;
            s.PresenceEventsMessage = "still $ActiveTime$";
            s.PresenceUpdateInterval = 12;
            s.SourceWatchMode = SourcesOnly;
        });
    add("DebugMode 7 stays 7", settingsWith("DebugMode = 7\r\n"), [](PluginSettings& s) { s.DebugMode = 7; });

    // Numbers are stored as read, without range checks.
    mode("7 stays 7", "7", 7);
    mode("negative", "-3", -3);
    mode("quoted", "\"2\"", 2);
    mode("single-quoted", "'2'", 2);
    mode("empty value gives the default", "", ShowAndLogEvents);
    mode("empty quotes give the default", "\"\"", ShowAndLogEvents);
    // Malformed numbers read as the platform's reader returns them.
    mode("letters", "abc", 0);
    mode("digits then letters", "12abc", 12);
    mode("blank then minus", " -7", -7);
    mode("plus sign", "+5", 5);
    mode("two signs", "--5", 0);
    mode("sign then blank", "- 5", 0);
    mode("sign alone", "-", 0);
    mode("two numbers", "1 2", 1);
    mode("control character before digits", std::string(1, '\x01') + "5", 5);
    mode("hexadecimal", "0x10", 16);
    mode("hexadecimal stops at a non-digit", "0xfg", 15);
    mode("hexadecimal prefix alone", "0x", 0);
    mode("capital X is no prefix", "0X10", 0);
    mode("octal", "0o17", 15);
    mode("binary", "0b101", 5);
    mode("2^32 wraps to 0", "4294967296", 0);
    mode("2^31 wraps negative", "2147483648", std::numeric_limits<int32_t>::min());
    mode("below -2^31 wraps positive", "-2147483649", std::numeric_limits<int32_t>::max());
    mode("35 digits are read as their first 29", repeated('9', 35), -1610612737);

    // The presence interval is never below 5 minutes (taken as unsigned).
    for (const auto& interval : std::vector<std::pair<std::string, uint32_t>>{
             {"2", 5}, {"0", 5}, {"4", 5}, {"5", 5}, {"30", 30}, {"abc", 5}, {"-7", 4294967289u}}) {
        const uint32_t expected = interval.second;
        add("PresenceUpdateInterval " + interval.first,
            settingsWith("PresenceUpdateInterval = " + interval.first + "\r\n"),
            [expected](PluginSettings& s) { s.PresenceUpdateInterval = expected; });
    }

    // Names match without regard to letter case; blanks around them are ignored.
    add("keys and section in other letter case", "[SETTINGS]\r\npluginMODE = 1\r\nlogfile = lower.txt\r\n",
        [](PluginSettings& s) {
            s.PluginMode = ShowEvents;
            s.LogFile = "lower.txt";
        });
    add("blanks around keys and values",
        "  [ Settings ]  \r\n \t PluginMode \t = \t 1 \t \r\n\x0b"
        "LogFile\x0c = \x1a"
        "spaced.txt\x1a\r\n",
        [](PluginSettings& s) {
            s.PluginMode = ShowEvents;
            s.LogFile = "spaced.txt";
        });
    add("no-break space and control characters are not blanks",
        settingsWith("\xa0PluginMode = 1\r\nLogFile = \xa0x\xa0\r\nEnterEventsMessage = \x01y\x01\r\n"),
        [](PluginSettings& s) {
            s.LogFile = "\xa0x\xa0";
            s.EnterEventsMessage = "\x01y\x01";
        });
    add("text after the section header's bracket", "[Settings] remark\r\nPluginMode = 1\r\n",
        [](PluginSettings& s) { s.PluginMode = ShowEvents; });
    add("header without its bracket is no header", "[Settings\r\nPluginMode = 1\r\n", keep);
    add("only the first Settings section counts",
        "[Settings]\r\nPluginMode = 1\r\n[Sources]\r\n[settings]\r\nPluginMode = 2\r\nLogFile = "
        "second.txt\r\n",
        [](PluginSettings& s) { s.PluginMode = ShowEvents; });
    add("the first of equal keys counts", settingsWith("PluginMode = 1\r\npluginmode = 2\r\n"),
        [](PluginSettings& s) { s.PluginMode = ShowEvents; });
    add("a key without a value hides a later one", settingsWith("PluginMode\r\nPluginMode = 1\r\n"), keep);
    add("comment lines", settingsWith(";PluginMode = 1\r\n; LogFile = x\r\nDebugMode = 0\r\n"), keep);
    add("lines ending in LF or CR alone", "[Settings]\nPluginMode = 1\rLogFile = bare.txt\n",
        [](PluginSettings& s) {
            s.PluginMode = ShowEvents;
            s.LogFile = "bare.txt";
        });

    // Texts: one pair of enclosing quotes goes, the rest stays as it is.
    const std::vector<std::pair<std::string, std::string>> log_files = {
        {"\"quoted.txt\"", "quoted.txt"},
        {"'single.txt'", "single.txt"},
        {"\"  inner blanks  \"", "  inner blanks  "},
        {"\"a\"b\"", "a\"b"},
        {"\"unbalanced.txt", "\"unbalanced.txt"},
        {"\"mixed.txt'", "\"mixed.txt'"},
        {"\"", "\""},
        {"\"\"", ""},
        {"", ""},
        {"a;b=c", "a;b=c"},
        {highBytes(), highBytes()},
    };
    for (const auto& log_file : log_files) {
        const std::string expected = log_file.second;
        add("LogFile [" + log_file.first.substr(0, 20) + "]",
            settingsWith("LogFile = " + log_file.first + "\r\n"),
            [expected](PluginSettings& s) { s.LogFile = expected; });
    }

    // Texts come through a 2048-byte buffer.
    add("100 KB template loads as its first 2047 characters",
        settingsWith("EnterEventsMessage = " + counting(100 * 1024) + "\r\n"),
        [](PluginSettings& s) { s.EnterEventsMessage = counting(2047); });
    add("quoted 3000-character template loads as its first 2047 characters",
        settingsWith("LeaveEventsMessage = \"" + counting(3000) + "\"\r\n"),
        [](PluginSettings& s) { s.LeaveEventsMessage = counting(2047); });
    add("quoted 2047-character template loads whole",
        settingsWith("PresenceEventsMessage = \"" + counting(2047) + "\"\r\n"),
        [](PluginSettings& s) { s.PresenceEventsMessage = counting(2047); });
    add("2048-character log file loses its last character",
        settingsWith("LogFile = " + counting(2048) + "\r\n"),
        [](PluginSettings& s) { s.LogFile = counting(2047); });

    // Sources: SourcesCount entries, each from its numbered pair of keys.
    add("two sources",
        "[Sources]\r\nSourcesCount = 2\r\nSourceName1 = Public\r\nSourcePath1 = C:\\Public\r\n"
        "SourceName2 = Music Share\r\nSourcePath2 = D:\\My Music\r\n",
        [](PluginSettings& s) {
            s.Sources = {{"Public", "C:\\Public"}, {"Music Share", "D:\\My Music"}};
        });
    add("SourcesCount 2 with one pair gives two entries",
        "[Sources]\r\nSourcesCount = 2\r\nSourceName1 = Public\r\nSourcePath1 = C:\\Public\r\n",
        [](PluginSettings& s) {
            s.Sources = {{"Public", "C:\\Public"}, {"", ""}};
        });
    add("SourcesCount -1 gives none", "[Sources]\r\nSourcesCount = -1\r\nSourceName1 = Public\r\n", keep);
    add("SourcesCount 0 gives none", "[Sources]\r\nSourcesCount = 0\r\nSourceName1 = Public\r\n", keep);
    add("no SourcesCount gives none", "[Sources]\r\nSourceName1 = Public\r\n", keep);
    add("pairs beyond the count are not read",
        "[Sources]\r\nSourcesCount = 1\r\nSourceName2 = Two\r\nSourceName1 = One\r\n", [](PluginSettings& s) {
            s.Sources = {{"One", ""}};
        });
    add("duplicates stay",
        "[Sources]\r\nSourcesCount = 2\r\nSourceName1 = Same\r\nSourcePath1 = C:\\A\r\n"
        "SourceName2 = Same\r\nSourcePath2 = C:\\A\r\n",
        [](PluginSettings& s) {
            s.Sources = {{"Same", "C:\\A"}, {"Same", "C:\\A"}};
        });
    add("source keys in other letter case, quotes stripped",
        "[SOURCES]\r\nsourcescount = 0x1\r\nsourcename1 = \"Quoted\"\r\nSOURCEPATH1 = 'C:\\Q'\r\n",
        [](PluginSettings& s) {
            s.Sources = {{"Quoted", "C:\\Q"}};
        });
    add("100 KB source name loads as its first 1023 characters",
        "[Sources]\r\nSourcesCount = 1\r\nSourceName1 = " + counting(100 * 1024) +
            "\r\nSourcePath1 = " + counting(1024) + "\r\n",
        [](PluginSettings& s) {
            s.Sources = {{counting(1023), counting(1023)}};
        });
    add("SourcesCount 2000000000 reads the first 100000",
        "[Sources]\r\nSourcesCount = 2000000000\r\nSourceName1 = First\r\nSourcePath1 = C:\\First\r\n",
        [](PluginSettings& s) {
            s.Sources.assign(static_cast<size_t>(kMaxSourcesCount), SourceEntry{});
            s.Sources[0] = {"First", "C:\\First"};
        });
    return cases;
}

} // namespace ini_cases
