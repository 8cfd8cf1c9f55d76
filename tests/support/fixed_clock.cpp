#include "events/event_log.h"
#include "support/fixed_clock.h"

#include <ctime>
#include <mutex>

namespace {
std::mutex clock_mutex;
bool clock_fixed = false;
LocalDateTime fixed_time;
} // namespace

void setFixedLocalTime(const LocalDateTime& when) {
    std::lock_guard<std::mutex> hold(clock_mutex);
    fixed_time = when;
    clock_fixed = true;
}

void clearFixedLocalTime() {
    std::lock_guard<std::mutex> hold(clock_mutex);
    clock_fixed = false;
}

void platformLocalTime(LocalDateTime& now) {
    {
        std::lock_guard<std::mutex> hold(clock_mutex);
        if (clock_fixed) {
            now = fixed_time;
            return;
        }
    }
    const std::time_t seconds = std::time(nullptr);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    now.day = parts.tm_mday;
    now.month = parts.tm_mon + 1;
    now.year = parts.tm_year + 1900;
    now.hour = parts.tm_hour;
    now.minute = parts.tm_min;
    now.second = parts.tm_sec;
}
