#include "events/event_log.h"

#include <mutex>

namespace {
std::mutex log_path_mutex;
std::string& logPath() {
    static std::string path = "tarnwicklog.txt";
    return path;
}
} // namespace

void setLogPath(const char* path) {
    std::lock_guard<std::mutex> hold(log_path_mutex);
    logPath() = path ? path : "";
}

std::string currentLogPath() {
    std::lock_guard<std::mutex> hold(log_path_mutex);
    return logPath();
}
