#pragma once
// Alert texts: the dollar-delimited variables of a message template, the two
// forms of the active time, and the reverse name lookup of a computer address.

#include "monitor/connection_info.h"
#include "monitor/share_event.h"

#include <cstdint>
#include <string>

// Replaces, in place, every tag of the fourteen variables by its value for the
// connection. One pass per variable in a fixed order; within a pass the inserted
// value is not searched again, later passes do search it. "$FileName$" and
// "$FilePath$" come last and are the event's file (empty unless a file event).
void expandMessage(const ConnectionInfo& connection, std::string& text);
void expandMessage(const ShareEvent& event, std::string& text);

// Sets `out` to the value of one tag ("$ShareName$", ...) and returns 0; for any
// other text (whole, case-sensitive) leaves `out` alone and returns 1. The file
// tags have no value without an event: empty.
int variableValue(const ConnectionInfo& connection, const std::string& tag, std::string& out);

// "HH:MM:SS" with at least two digits each; hours are neither wrapped nor cut.
std::string formatActiveTime(uint32_t seconds);

// The host name that the name service gives for an IPv4 or IPv6 address text,
// or the address text itself when there is none. Traces the answer.
std::string resolveComputerName(const std::string& address);

// Platform seam: one reverse query of the name service. On success sets
// `host_name` and returns true; otherwise sets `error_code` to the platform's
// error and returns false. gethostbyaddr in the DLL (getnameinfo for IPv6 text);
// a programmable table natively.
bool platformReverseLookup(const std::string& address, std::string& host_name, int& error_code);
