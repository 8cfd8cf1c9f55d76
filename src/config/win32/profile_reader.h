#pragma once
// The DLL's INI reader: numbers through GetPrivateProfileIntA; texts looked up in
// each section as GetPrivateProfileSectionA returns it, read once per section.
// Reading every key on its own re-reads the file each time: a file of 5,000
// sources then takes seconds, a section read a few milliseconds.

#include "config/ini_reader.h"
#include "config/ini_section.h"

#include <map>
#include <string>

class ProfileIniReader final : public IniReader {
public:
    explicit ProfileIniReader(std::string path) : path_(std::move(path)) {}

    uint32_t readNumber(const char* section, const char* key, int32_t fallback) override;
    std::string readText(const char* section, const char* key, const char* fallback,
                         size_t buffer_size) override;

private:
    const IniSection& loadSection(const char* section);

    std::string path_;
    std::map<std::string, IniSection> sections_;
};
