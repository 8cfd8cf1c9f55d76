#include "events/event_log.h"
#include "events/host_names.h"
#include "support/fixed_clock.h"

#include <chrono>
#include <ctime>
#include <mutex>

namespace {
std::mutex clock_mutex;
bool clock_fixed = false;
LocalDateTime fixed_time;
bool tick_fixed = false;
uint64_t fixed_tick = 0;
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

void setFixedTick(uint64_t milliseconds) {
    std::lock_guard<std::mutex> hold(clock_mutex);
    fixed_tick = milliseconds;
    tick_fixed = true;
}

void clearFixedTick() {
    std::lock_guard<std::mutex> hold(clock_mutex);
    tick_fixed = false;
}

uint64_t platformTickCount() {
    {
        std::lock_guard<std::mutex> hold(clock_mutex);
        if (tick_fixed)
            return fixed_tick;
    }
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}
