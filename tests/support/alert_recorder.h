#pragma once
// Native stand-in for the host's alert service: every requested alert is kept
// for tests, with its own copy of the connection.

#include "monitor/connection_info.h"

#include <cstdint>
#include <string>
#include <vector>

struct RecordedAlert {
    std::string text;
    ConnectionInfo connection;
    int32_t persistent = 0;
};

std::vector<RecordedAlert> recordedAlerts();
void clearRecordedAlerts();
