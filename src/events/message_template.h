#pragma once
// Alert texts: the dollar-delimited variables of a message template and the two
// forms of the active time.

#include "events/host_names.h"
#include "monitor/connection_info.h"
#include "monitor/share_event.h"

#include <cstdint>
#include <string>

// Replaces, in place, every tag of the fourteen variables by its value for the
// connection. One pass per variable in a fixed order; within a pass the inserted
// value is not searched again, later passes do search it. "$ComputerRealName$"
// is the host name, got as `wait` says. "$FileName$" and "$FilePath$" come last
// and are the event's file (empty unless a file event).
void expandMessage(const ConnectionInfo& connection, std::string& text, NameWait wait = NameWait::LookUp);
void expandMessage(const ShareEvent& event, std::string& text, NameWait wait = NameWait::LookUp);

// Sets `out` to the value of one tag ("$ShareName$", ...) and returns 0; for any
// other text (whole, case-sensitive) leaves `out` alone and returns 1. The file
// tags have no value without an event: empty.
int variableValue(const ConnectionInfo& connection, const std::string& tag, std::string& out,
                  NameWait wait = NameWait::LookUp);

// "HH:MM:SS" with at least two digits each; hours are neither wrapped nor cut.
std::string formatActiveTime(uint32_t seconds);
