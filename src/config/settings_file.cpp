#include "config/settings_file.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr char kSettingsSection[] = "Settings";
constexpr char kSourcesSection[] = "Sources";
constexpr char kVisitorsSection[] = "Visitors";

int32_t readSigned(IniReader& reader, const char* key, int32_t fallback) {
    return static_cast<int32_t>(reader.readNumber(kSettingsSection, key, fallback));
}

std::string readSetting(IniReader& reader, const char* key, const std::string& fallback) {
    return reader.readText(kSettingsSection, key, fallback.c_str(), kSettingTextBufferSize);
}

std::string numbered(const char* key, int32_t number) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%d", key, static_cast<int>(number));
    return name;
}

void addNumber(std::string& out, const char* padded_key, int32_t value) {
    out += padded_key;
    out += "= ";
    out += std::to_string(value);
    out += '\n';
}

// A line break inside a value would end the value's line in the file: the value
// would come back cut, and the rest could read as a key or a [section] of its own.
// So each break (CR LF, CR or LF) goes to the file as one blank; the reader is
// left as it was, so files written before load as they always did.
void addValue(std::string& out, const std::string& value) {
    for (size_t at = 0; at < value.size(); ++at) {
        const char c = value[at];
        if (c == '\r' && at + 1 < value.size() && value[at + 1] == '\n')
            ++at;
        out += (c == '\r' || c == '\n') ? ' ' : c;
    }
}

void addQuoted(std::string& out, const char* padded_key, const std::string& value) {
    out += padded_key;
    out += "= \"";
    addValue(out, value);
    out += "\"\n";
}

void addSourceLine(std::string& out, const char* key, size_t number, const std::string& value) {
    out += key;
    out += std::to_string(number);
    out += "           = ";
    addValue(out, value);
    out += '\n';
}

// Rule keys are padded as the settings' keys are: every "=" in the 24th column.
std::string paddedRuleKey(const char* key, size_t number) {
    std::string padded = key + std::to_string(number);
    padded.resize(23, ' ');
    return padded;
}

std::vector<VisitorRule> readVisitorRules(IniReader& reader) {
    std::vector<VisitorRule> rules;
    int32_t count = static_cast<int32_t>(reader.readNumber(kVisitorsSection, "RulesCount", 0));
    if (count > kMaxVisitorRules)
        count = kMaxVisitorRules;
    for (int32_t i = 1; i <= count; ++i) {
        VisitorRule rule;
        rule.RuleUser =
            reader.readText(kVisitorsSection, numbered("RuleUser", i).c_str(), "", kSourceTextBufferSize);
        rule.RuleComputer =
            reader.readText(kVisitorsSection, numbered("RuleComputer", i).c_str(), "", kSourceTextBufferSize);
        // A missing action reads as 0, which quiets nobody.
        rule.RuleAction =
            static_cast<int32_t>(reader.readNumber(kVisitorsSection, numbered("RuleAction", i).c_str(), 0));
        rules.push_back(std::move(rule));
    }
    return rules;
}

void addVisitorRules(std::string& out, const std::vector<VisitorRule>& rules) {
    const size_t count = std::min(rules.size(), static_cast<size_t>(kMaxVisitorRules));
    out += "\n[Visitors]\n";
    addNumber(out, "RulesCount             ", static_cast<int32_t>(count));
    for (size_t i = 0; i < count; ++i) {
        addQuoted(out, paddedRuleKey("RuleUser", i + 1).c_str(), rules[i].RuleUser);
        addQuoted(out, paddedRuleKey("RuleComputer", i + 1).c_str(), rules[i].RuleComputer);
        addNumber(out, paddedRuleKey("RuleAction", i + 1).c_str(), rules[i].RuleAction);
    }
}

} // namespace

uint32_t clampPresenceInterval(uint32_t minutes) {
    return minutes < kMinPresenceInterval ? kMinPresenceInterval : minutes;
}

PluginSettings readSettings(IniReader& reader) {
    const PluginSettings defaults;
    PluginSettings settings;
    settings.DebugMode = readSigned(reader, "DebugMode", defaults.DebugMode);
    settings.SourceWatchMode = readSigned(reader, "SourceWatchMode", defaults.SourceWatchMode);
    settings.PersistentAlerts = readSigned(reader, "PersistentAlerts", defaults.PersistentAlerts);
    settings.PluginMode = readSigned(reader, "PluginMode", defaults.PluginMode);
    settings.DisplayEnterEvents = readSigned(reader, "DisplayEnterEvents", defaults.DisplayEnterEvents);
    settings.DisplayLeaveEvents = readSigned(reader, "DisplayLeaveEvents", defaults.DisplayLeaveEvents);
    settings.DisplayPresenceEvents =
        readSigned(reader, "DisplayPresenceEvents", defaults.DisplayPresenceEvents);
    settings.PresenceUpdateInterval = clampPresenceInterval(reader.readNumber(
        kSettingsSection, "PresenceUpdateInterval", static_cast<int32_t>(defaults.PresenceUpdateInterval)));
    settings.WindowsEventLog = readSigned(reader, "WindowsEventLog", defaults.WindowsEventLog);
    settings.LogFile = readSetting(reader, "LogFile", defaults.LogFile);
    settings.EnterEventsMessage = readSetting(reader, "EnterEventsMessage", defaults.EnterEventsMessage);
    settings.LeaveEventsMessage = readSetting(reader, "LeaveEventsMessage", defaults.LeaveEventsMessage);
    settings.PresenceEventsMessage =
        readSetting(reader, "PresenceEventsMessage", defaults.PresenceEventsMessage);
    settings.LogFileEvents = readSigned(reader, "LogFileEvents", defaults.LogFileEvents);
    settings.DisplayFileEvents = readSigned(reader, "DisplayFileEvents", defaults.DisplayFileEvents);
    settings.FileEventsMessage = readSetting(reader, "FileEventsMessage", defaults.FileEventsMessage);

    int32_t count = static_cast<int32_t>(reader.readNumber(kSourcesSection, "SourcesCount", 0));
    if (count > kMaxSourcesCount)
        count = kMaxSourcesCount;
    if (count > 0)
        settings.Sources.reserve(static_cast<size_t>(count));
    for (int32_t i = 1; i <= count; ++i) {
        SourceEntry entry;
        entry.SourceName =
            reader.readText(kSourcesSection, numbered("SourceName", i).c_str(), "", kSourceTextBufferSize);
        entry.SourcePath =
            reader.readText(kSourcesSection, numbered("SourcePath", i).c_str(), "", kSourceTextBufferSize);
        settings.Sources.push_back(std::move(entry));
    }
    settings.VisitorRules = readVisitorRules(reader);
    return settings;
}

std::string formatSettingsFile(const PluginSettings& s) {
    std::string text = "\n[Settings]\n";
    addNumber(text, "DebugMode              ", s.DebugMode);
    addNumber(text, "PersistentAlerts       ", s.PersistentAlerts);
    addNumber(text, "PluginMode             ", s.PluginMode);
    addQuoted(text, "LogFile                ", s.LogFile);
    addNumber(text, "DisplayEnterEvents     ", s.DisplayEnterEvents);
    addQuoted(text, "EnterEventsMessage     ", s.EnterEventsMessage);
    addNumber(text, "DisplayLeaveEvents     ", s.DisplayLeaveEvents);
    addQuoted(text, "LeaveEventsMessage     ", s.LeaveEventsMessage);
    addNumber(text, "DisplayPresenceEvents  ", s.DisplayPresenceEvents);
    addQuoted(text, "PresenceEventsMessage  ", s.PresenceEventsMessage);
    addNumber(text, "PresenceUpdateInterval ", static_cast<int32_t>(s.PresenceUpdateInterval));
    addNumber(text, "SourceWatchMode        ", s.SourceWatchMode);
    // Written only when on, so a file without the Event Log stays as it always was.
    if (s.WindowsEventLog != 0)
        addNumber(text, "WindowsEventLog        ", s.WindowsEventLog);
    // The file event keys only once they are set, so a file of the other settings stays as it was.
    const PluginSettings defaults;
    if (s.LogFileEvents != defaults.LogFileEvents || s.DisplayFileEvents != defaults.DisplayFileEvents ||
        s.FileEventsMessage != defaults.FileEventsMessage) {
        addNumber(text, "LogFileEvents          ", s.LogFileEvents);
        addNumber(text, "DisplayFileEvents      ", s.DisplayFileEvents);
        addQuoted(text, "FileEventsMessage      ", s.FileEventsMessage);
    }
    text += "\n[Sources]\n";
    addNumber(text, "SourcesCount           ", static_cast<int32_t>(s.Sources.size()));
    for (size_t i = 0; i < s.Sources.size(); ++i) {
        addSourceLine(text, "SourceName", i + 1, s.Sources[i].SourceName);
        addSourceLine(text, "SourcePath", i + 1, s.Sources[i].SourcePath);
    }
    addVisitorRules(text, s.VisitorRules);

    // Text mode on the platform writes every line break as CR LF.
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n')
            bytes += '\r';
        bytes += c;
    }
    return bytes;
}
