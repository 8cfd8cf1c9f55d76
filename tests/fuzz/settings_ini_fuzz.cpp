// tarnwick.ini as any bytes: the text reader and the settings load over it, then a save of what
// loaded and a load of that. The load must keep its bounds, and the round trip must give back
// every number and quoted text exactly and each bare source text as the reader sees it. The
// input's first bytes also go in as raw values with line breaks and any other byte, which a
// save must keep on their own lines.

#include "config/ini_document.h"
#include "config/settings_file.h"
#include "fuzz/fuzz_require.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// The load reads every numbered pair up to SourcesCount; thousands of them only repeat the work
// of a few (the unit tests read 100,000).
constexpr int32_t kMostSources = 64;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

// Each line break (CR LF, CR or LF) as one blank: what a saved value keeps of it.
std::string breaksAsBlanks(const std::string& value) {
    std::string out;
    for (size_t at = 0; at < value.size(); ++at) {
        if (value[at] == '\r' && at + 1 < value.size() && value[at + 1] == '\n')
            ++at;
        out += value[at] == '\r' || value[at] == '\n' ? ' ' : value[at];
    }
    return out;
}

// A value written bare, as it reads back: outer blanks gone, then one pair of equal enclosing
// quotes.
std::string bareReadBack(const std::string& written) {
    size_t begin = 0;
    size_t end = written.size();
    while (begin < end && isBlank(written[begin]))
        ++begin;
    while (end > begin && isBlank(written[end - 1]))
        --end;
    std::string value = written.substr(begin, end - begin);
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        value = value.substr(1, value.size() - 2);
    return value;
}

// Texts reach the settings as C strings: a NUL ends them.
std::string cString(const std::string& bytes, size_t longest) {
    return bytes.substr(0, std::min(bytes.find('\0'), longest));
}

void checkBounds(const PluginSettings& s, int32_t count) {
    require(s.PresenceUpdateInterval >= kMinPresenceInterval, "presence interval below the minimum");
    for (const std::string* text :
         {&s.LogFile, &s.EnterEventsMessage, &s.LeaveEventsMessage, &s.PresenceEventsMessage})
        require(text->size() < kSettingTextBufferSize, "text longer than its buffer");
    require(s.Sources.size() == static_cast<size_t>(count > 0 ? count : 0), "not SourcesCount sources");
    for (const SourceEntry& source : s.Sources)
        require(source.SourceName.size() < kSourceTextBufferSize &&
                    source.SourcePath.size() < kSourceTextBufferSize,
                "source text longer than its buffer");
}

// 17 lines, two per source, each ending in CR LF; no other CR or LF.
void checkLines(const std::string& file, const PluginSettings& s) {
    size_t breaks = 0;
    for (size_t at = 0; (at = file.find_first_of("\r\n", at)) != std::string::npos; at += 2, ++breaks)
        require(file.compare(at, 2, "\r\n") == 0, "a line break that is not CR LF");
    // The optional keys come only when set; [Visitors] always, with three lines a rule.
    const PluginSettings defaults;
    const size_t optional =
        (s.WindowsEventLog != 0 ? 1 : 0) + (s.LogFileEvents != defaults.LogFileEvents ||
                                                    s.DisplayFileEvents != defaults.DisplayFileEvents ||
                                                    s.FileEventsMessage != defaults.FileEventsMessage
                                                ? 3
                                                : 0);
    require(breaks == 17 + 2 * s.Sources.size() + optional + 3 + 3 * s.VisitorRules.size(),
            "the file has other lines than the settings");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    TextIniReader reader(input);
    const auto count = static_cast<int32_t>(reader.readNumber("Sources", "SourcesCount", 0));
    if (count > kMostSources)
        return -1;
    PluginSettings loaded = readSettings(reader);
    checkBounds(loaded, count);

    // Raw values, as the pages may hand them over.
    const std::string raw = cString(input, kSettingTextBufferSize - 1);
    loaded.LogFile = raw;
    const size_t tail = std::min(input.size(), kSourceTextBufferSize - 1);
    loaded.Sources.push_back({cString(input, tail), cString(input.substr(input.size() - tail), tail)});

    PluginSettings expected = loaded;
    expected.LogFile = breaksAsBlanks(raw);
    for (SourceEntry& source : expected.Sources) {
        source.SourceName = bareReadBack(breaksAsBlanks(source.SourceName));
        source.SourcePath = bareReadBack(breaksAsBlanks(source.SourcePath));
    }

    const std::string file = formatSettingsFile(loaded);
    checkLines(file, loaded);
    TextIniReader saved(file);
    require(readSettings(saved) == expected, "a saved file loads as other settings");
    return 0;
}
