#pragma once
// Helpers for tests that write event log files: a throw-away folder and readers.

#include "events/event_log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// The moment the tests' fixed clock shows: 7 March 2026, 09:05:03.
inline LocalDateTime seventhOfMarch() {
    LocalDateTime when;
    when.day = 7;
    when.month = 3;
    when.year = 2026;
    when.hour = 9;
    when.minute = 5;
    when.second = 3;
    return when;
}

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tarnwick-events-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr)
            path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool valid() const { return !path_.empty(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// The file's lines, each with its line break (a last line without one is kept too).
inline std::vector<std::string> readLines(const std::string& path) {
    const std::string content = readWholeFile(path);
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < content.size()) {
        const std::string::size_type end = content.find('\n', start);
        const std::string::size_type stop = end == std::string::npos ? content.size() : end + 1;
        lines.push_back(content.substr(start, stop - start));
        start = stop;
    }
    return lines;
}
