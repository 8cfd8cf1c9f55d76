#pragma once
// The records in which WMI rows travel through the plug-in.

#include <cstdint>
#include <string>

// One server session on one of this computer's shares.
struct ConnectionInfo {
    uint32_t ActiveTime = 0;     // seconds the session has been active
    uint32_t LastReportTime = 0; // ActiveTime at the last Enter or Presence report; never read from WMI
    std::string Name;
    std::string Caption;
    std::string ShareName;
    std::string Description;
    std::string ComputerName; // the remote computer, as a rule its IPv4 address text
    std::string UserName;
    uint32_t ConnectionID = 0; // the session key: equal IDs mean the same session
    uint32_t NumberOfFiles = 0;
    uint32_t NumberOfUsers = 0;
};

// One share that this computer offers.
struct ShareInfo {
    std::string Name;
    std::string Path;
};
