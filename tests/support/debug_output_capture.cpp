#include "support/debug_output_capture.h"
#include "base/trace.h"

#include <mutex>

namespace {
std::mutex capture_mutex;
std::vector<std::string>& captured() {
    static std::vector<std::string> lines;
    return lines;
}
} // namespace

void platformDebugOutput(const char* text) {
    std::lock_guard<std::mutex> hold(capture_mutex);
    captured().emplace_back(text);
}

std::vector<std::string> capturedTraceLines() {
    std::lock_guard<std::mutex> hold(capture_mutex);
    return captured();
}

void clearCapturedTrace() {
    std::lock_guard<std::mutex> hold(capture_mutex);
    captured().clear();
}
