#pragma once
// Native stand-in for the local clock and the tick count: the system's, unless a
// test has fixed them.

#include "events/event_log.h"

#include <cstdint>

void setFixedLocalTime(const LocalDateTime& when);
void clearFixedLocalTime();
void setFixedTick(uint64_t milliseconds);
void clearFixedTick();
