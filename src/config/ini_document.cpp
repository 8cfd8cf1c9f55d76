#include "config/ini_document.h"
#include "base/ascii_case.h"

namespace {

struct PendingSection {
    std::string name;
    std::vector<IniEntry> entries;
};

} // namespace

IniDocument IniDocument::parse(const std::string& content) {
    std::vector<PendingSection> pending(1); // the unnamed section before any header
    size_t at = 0;
    while (at < content.size()) {
        size_t end = content.find_first_of("\r\n", at);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(at, end - at);
        at = end + 1;
        const size_t nul = line.find('\0');
        if (nul != std::string::npos)
            line.resize(nul);
        line = trimProfileBlanks(line);
        if (line.empty() || line.front() == ';')
            continue;
        const size_t close = line.rfind(']');
        if (line.front() == '[' && close != std::string::npos) {
            pending.push_back(PendingSection{trimProfileBlanks(line.substr(1, close - 1)), {}});
            continue;
        }
        pending.back().entries.push_back(parseIniEntry(line));
    }
    IniDocument document;
    document.sections_.reserve(pending.size());
    for (PendingSection& section : pending)
        document.sections_.emplace_back(std::move(section.name), IniSection(std::move(section.entries)));
    return document;
}

const IniSection* IniDocument::section(const char* name) const {
    for (const auto& section : sections_) {
        if (equalsIgnoringAsciiCase(std::string_view(section.first), std::string_view(name ? name : "")))
            return &section.second;
    }
    return nullptr;
}

uint32_t TextIniReader::readNumber(const char* section, const char* key, int32_t fallback) {
    const IniSection* found = document_.section(section);
    return found ? found->number(key, fallback) : static_cast<uint32_t>(fallback);
}

std::string TextIniReader::readText(const char* section, const char* key, const char* fallback,
                                    size_t buffer_size) {
    const IniSection* found = document_.section(section);
    return found ? found->text(key, fallback, buffer_size) : IniSection().text(key, fallback, buffer_size);
}
