#pragma once
// The native reader: a whole INI text split into sections the way the platform's
// profile reader splits it, so the settings load runs without the platform.

#include "config/ini_reader.h"
#include "config/ini_section.h"

#include <string>
#include <utility>
#include <vector>

class IniDocument {
public:
    // Lines end at CR or LF (a NUL ends a line's text); blank lines and lines
    // starting with ";" are skipped; "[name]" (up to the last "]") starts a
    // section; other lines are entries of the current section, and lines before
    // the first header belong to a section with an empty name.
    static IniDocument parse(const std::string& content);

    // The first section of that name (ASCII letter case ignored); null if none.
    const IniSection* section(const char* name) const;

private:
    std::vector<std::pair<std::string, IniSection>> sections_;
};

class TextIniReader final : public IniReader {
public:
    explicit TextIniReader(const std::string& content) : document_(IniDocument::parse(content)) {}

    uint32_t readNumber(const char* section, const char* key, int32_t fallback) override;
    std::string readText(const char* section, const char* key, const char* fallback,
                         size_t buffer_size) override;

private:
    IniDocument document_;
};
