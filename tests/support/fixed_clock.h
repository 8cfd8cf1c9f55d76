#pragma once
// Native stand-in for the local clock: the system's local time, unless a test
// has fixed it.

#include "events/event_log.h"

void setFixedLocalTime(const LocalDateTime& when);
void clearFixedLocalTime();
