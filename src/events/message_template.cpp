#include "events/message_template.h"

#include <cstdio>

namespace {

// The expansion passes run in this order; a value may hold tags of later passes.
constexpr const char* kTags[] = {
    "$Name$",     "$Caption$",      "$ShareName$", "$Description$", "$ComputerName$", "$ComputerRealName$",
    "$UserName$", "$ConnectionID$", "$NoOfFiles$", "$NoOfUsers$",   "$ActiveTime$",   "$ActiveTimeMin$",
    "$FileName$", "$FilePath$",
};

// unsigned long is 32 bits on Windows and 64 natively; every 32-bit value fits both.
std::string decimal(uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%lu", static_cast<unsigned long>(value));
    return buffer;
}

} // namespace

std::string formatActiveTime(uint32_t seconds) {
    const unsigned long total = seconds;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2lu:%.2lu:%.2lu", total / 3600, (total % 3600) / 60, total % 60);
    return buffer;
}

int variableValue(const ConnectionInfo& connection, const std::string& tag, std::string& out, NameWait wait) {
    if (tag == "$Name$")
        out = connection.Name;
    else if (tag == "$Caption$")
        out = connection.Caption;
    else if (tag == "$ShareName$")
        out = connection.ShareName;
    else if (tag == "$Description$")
        out = connection.Description;
    else if (tag == "$ComputerName$")
        out = connection.ComputerName;
    else if (tag == "$ComputerRealName$")
        out = resolveComputerName(connection.ComputerName, wait);
    else if (tag == "$UserName$")
        out = connection.UserName;
    else if (tag == "$ConnectionID$")
        out = decimal(connection.ConnectionID);
    else if (tag == "$NoOfFiles$")
        out = decimal(connection.NumberOfFiles);
    else if (tag == "$NoOfUsers$")
        out = decimal(connection.NumberOfUsers);
    else if (tag == "$ActiveTime$")
        out = formatActiveTime(connection.ActiveTime);
    else if (tag == "$ActiveTimeMin$")
        out = decimal(connection.ActiveTime / 60);
    else if (tag == "$FileName$" || tag == "$FilePath$")
        out.clear();
    else
        return 1;
    return 0;
}

namespace {

void expand(const ConnectionInfo& connection, const std::string& file_name, const std::string& file_path,
            std::string& text, NameWait wait) {
    for (const char* tag_text : kTags) {
        const std::string tag(tag_text);
        std::string::size_type position = text.find(tag);
        // The value is only computed for a tag that is there: "$ComputerRealName$"
        // costs a name-service query.
        if (position == std::string::npos)
            continue;
        std::string value;
        if (tag == "$FileName$")
            value = file_name;
        else if (tag == "$FilePath$")
            value = file_path;
        else
            variableValue(connection, tag, value, wait);
        while (position != std::string::npos) {
            text.replace(position, tag.size(), value);
            position = text.find(tag, position + value.size());
        }
    }
}

} // namespace

void expandMessage(const ConnectionInfo& connection, std::string& text, NameWait wait) {
    expand(connection, std::string(), std::string(), text, wait);
}

void expandMessage(const ShareEvent& event, std::string& text, NameWait wait) {
    expand(event.Connection, event.FileName, event.FilePath, text, wait);
}
