// expandMessage with any template and any session texts, against the expansion written down
// pass by pass; and variableValue with the template as the tag.
//
// Input: NUL-separated fields (the texts are C strings, so they never hold one): the template,
// Name, Caption, ShareName, Description, ComputerName, UserName, the host name the name service
// gives for ComputerName (none when empty), then four little-endian 32-bit numbers: ActiveTime,
// ConnectionID, NumberOfFiles, NumberOfUsers. Missing fields are empty or zero.

#include "base/trace.h"
#include "events/message_template.h"
#include "fuzz/fuzz_require.h"
#include "support/debug_output_capture.h"
#include "support/name_service_stub.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kTags[] = {
    "$Name$",     "$Caption$",      "$ShareName$", "$Description$", "$ComputerName$", "$ComputerRealName$",
    "$UserName$", "$ConnectionID$", "$NoOfFiles$", "$NoOfUsers$",   "$ActiveTime$",   "$ActiveTimeMin$",
    "$FileName$", "$FilePath$", // empty without a file event
};

// Values that hold tags of later passes multiply the text at each pass. Beyond this the input
// only measures memory and time.
constexpr size_t kLongestExpansion = size_t{1} << 20;

std::vector<std::string> splitAtNul(const std::string& input) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t nul = input.find('\0', start);
        fields.push_back(input.substr(start, nul - start));
        if (nul == std::string::npos)
            return fields;
        start = nul + 1;
    }
}

uint32_t number(const std::string& bytes, size_t index) {
    unsigned char four[4] = {};
    for (size_t k = 0; k < 4 && index * 4 + k < bytes.size(); ++k)
        four[k] = static_cast<unsigned char>(bytes[index * 4 + k]);
    return uint32_t{four[0]} | uint32_t{four[1]} << 8 | uint32_t{four[2]} << 16 | uint32_t{four[3]} << 24;
}

// Fourteen passes in table order; each replaces every occurrence from left to right and searches
// on just past the value it inserted.
std::string literalExpansion(const ConnectionInfo& connection, std::string text) {
    for (const char* tag : kTags) {
        std::string value;
        variableValue(connection, tag, value);
        for (size_t at = text.find(tag); at != std::string::npos; at = text.find(tag, at + value.size()))
            text.replace(at, std::strlen(tag), value);
    }
    return text;
}

// An upper bound of the expanded length: each pass adds at most one value per tag length.
size_t expansionBound(const ConnectionInfo& connection, size_t length) {
    for (const char* tag : kTags) {
        std::string value;
        variableValue(connection, tag, value);
        length += length / std::strlen(tag) * value.size();
        if (length > kLongestExpansion)
            break;
    }
    return length;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> fields = splitAtNul(std::string(reinterpret_cast<const char*>(data), size));
    fields.resize(9);
    ConnectionInfo connection;
    connection.Name = fields[1];
    connection.Caption = fields[2];
    connection.ShareName = fields[3];
    connection.Description = fields[4];
    connection.ComputerName = fields[5];
    connection.UserName = fields[6];
    connection.ActiveTime = number(fields[8], 0);
    connection.ConnectionID = number(fields[8], 1);
    connection.NumberOfFiles = number(fields[8], 2);
    connection.NumberOfUsers = number(fields[8], 3);

    // The trace is on, so the lookup's lines are formatted with these texts too.
    set_debug_trace(true);
    clearCapturedTrace();
    resetNameService();
    if (!fields[7].empty())
        setNameServiceEntry(connection.ComputerName, fields[7]);

    const std::string& template_text = fields[0];
    if (expansionBound(connection, template_text.size()) > kLongestExpansion)
        return -1;
    std::string expanded = template_text;
    expandMessage(connection, expanded);
    require(expanded == literalExpansion(connection, template_text), "not the pass-by-pass expansion");

    std::string out = "untouched";
    const int result = variableValue(connection, template_text, out);
    bool is_tag = false;
    for (const char* tag : kTags)
        is_tag = is_tag || template_text == tag;
    require(result == (is_tag ? 0 : 1), "variableValue's result is not whether the text is a tag");
    require(is_tag || out == "untouched", "variableValue changed its output for a text that is no tag");
    return 0;
}
