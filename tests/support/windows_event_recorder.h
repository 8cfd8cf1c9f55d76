#pragma once
// Native stand-in for the Windows Event Log: every reported event is kept, in order.

#include "events/windows_event_log.h"

#include <vector>

std::vector<WindowsEvent>& recordedWindowsEvents();
