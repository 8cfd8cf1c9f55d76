#pragma once
// What the user is told when Windows refuses the list of share sessions for lack
// of rights.

#include <string>

// The plug-in runs inside whichever program hosts it, so that program is the one
// to run as administrator: `host_program` is its file name (empty when unknown).
std::string rightsNoticeText(const std::string& host_program);
// The program as the notice names it.
std::string rightsNoticeProgram(const std::string& host_program);
