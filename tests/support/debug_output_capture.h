#pragma once
// Native stand-in for the debugger output channel: the lines are kept for tests.

#include <string>
#include <vector>

std::vector<std::string> capturedTraceLines();
void clearCapturedTrace();
