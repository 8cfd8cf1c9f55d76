#pragma once
// The native log file's hook: runs before each line is appended, on the writing
// thread, so a test can act between an event's log line and its alert.

#include <functional>

void setLogAppendHook(std::function<void()> hook);
