#pragma once
// The user-facing event log: one line per logged Enter or Leave event.

#include "monitor/share_event.h"

#include <string>

// Replaces the path that lines are appended to. Never overlaps a line being written.
void setLogPath(const char* path);
std::string currentLogPath();
