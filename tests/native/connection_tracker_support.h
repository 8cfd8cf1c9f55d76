#pragma once
// Helpers shared by the connection tracker tests: building sessions, describing them, and
// comparing two diff results field by field.

#include "monitor/connection_info.h"
#include "monitor/share_event.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

// A session whose texts are derived from its ID, so that a copy from the wrong record shows.
inline ConnectionInfo makeSession(uint32_t id, uint32_t active_time, uint32_t files = 1) {
    ConnectionInfo info;
    info.ActiveTime = active_time;
    info.LastReportTime = 0;
    const std::string n = std::to_string(id);
    info.Name = "name-" + n;
    info.Caption = "caption-" + n;
    info.ShareName = "share-" + n;
    info.Description = "description-" + n;
    info.ComputerName = "10.0.0." + n;
    info.UserName = "user-" + n;
    info.ConnectionID = id;
    info.NumberOfFiles = files;
    info.NumberOfUsers = 1;
    return info;
}

inline std::string describeConnection(const ConnectionInfo& c) {
    std::ostringstream out;
    out << "{id=" << c.ConnectionID << " active=" << c.ActiveTime << " last=" << c.LastReportTime
        << " files=" << c.NumberOfFiles << " users=" << c.NumberOfUsers << " name='" << c.Name
        << "' caption='" << c.Caption << "' share='" << c.ShareName << "' desc='" << c.Description
        << "' computer='" << c.ComputerName << "' user='" << c.UserName << "'}";
    return out.str();
}

inline std::string describeConnections(const std::vector<ConnectionInfo>& list) {
    std::string text;
    for (std::size_t i = 0; i < list.size(); ++i)
        text += "  [" + std::to_string(i) + "] " + describeConnection(list[i]) + "\n";
    return text.empty() ? "  (empty)\n" : text;
}

inline const char* eventKindName(EventKind kind) {
    switch (kind) {
    case EventKind::Enter:
        return "Enter";
    case EventKind::Leave:
        return "Leave";
    case EventKind::Presence:
        return "Presence";
    default:
        break;
    }
    return "?";
}

// The first field in which two sessions differ, as text; empty when all fields are equal.
inline std::string connectionDifference(const ConnectionInfo& expected, const ConnectionInfo& actual) {
    std::ostringstream out;
    auto number = [&out](const char* field, uint32_t want, uint32_t got) {
        if (want != got && out.tellp() == 0)
            out << field << ": expected " << want << ", got " << got;
    };
    auto text = [&out](const char* field, const std::string& want, const std::string& got) {
        if (want != got && out.tellp() == 0)
            out << field << ": expected '" << want << "', got '" << got << "'";
    };
    number("ActiveTime", expected.ActiveTime, actual.ActiveTime);
    number("LastReportTime", expected.LastReportTime, actual.LastReportTime);
    text("Name", expected.Name, actual.Name);
    text("Caption", expected.Caption, actual.Caption);
    text("ShareName", expected.ShareName, actual.ShareName);
    text("Description", expected.Description, actual.Description);
    text("ComputerName", expected.ComputerName, actual.ComputerName);
    text("UserName", expected.UserName, actual.UserName);
    number("ConnectionID", expected.ConnectionID, actual.ConnectionID);
    number("NumberOfFiles", expected.NumberOfFiles, actual.NumberOfFiles);
    number("NumberOfUsers", expected.NumberOfUsers, actual.NumberOfUsers);
    return out.str();
}

// The first difference between two tables, as text; empty when they are equal.
inline std::string tableDifference(const std::vector<ConnectionInfo>& expected,
                                   const std::vector<ConnectionInfo>& actual) {
    if (expected.size() != actual.size())
        return "table size: expected " + std::to_string(expected.size()) + ", got " +
               std::to_string(actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::string difference = connectionDifference(expected[i], actual[i]);
        if (!difference.empty())
            return "table entry " + std::to_string(i) + " " + difference;
    }
    return {};
}

// The first difference between two event lists, as text; empty when they are equal.
inline std::string eventsDifference(const std::vector<ShareEvent>& expected,
                                    const std::vector<ShareEvent>& actual) {
    if (expected.size() != actual.size())
        return "event count: expected " + std::to_string(expected.size()) + ", got " +
               std::to_string(actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (expected[i].Kind != actual[i].Kind)
            return "event " + std::to_string(i) + " Kind: expected " + eventKindName(expected[i].Kind) +
                   ", got " + eventKindName(actual[i].Kind);
        const std::string difference = connectionDifference(expected[i].Connection, actual[i].Connection);
        if (!difference.empty())
            return "event " + std::to_string(i) + " " + difference;
    }
    return {};
}
