#pragma once

#include "monitor/connection_info.h"

#include <cstdint>

enum class EventKind : int32_t {
    Enter = 1,
    Leave = 2,
    Presence = 3,
};

struct ShareEvent {
    EventKind Kind = EventKind::Enter;
    ConnectionInfo Connection; // a copy taken when the event was made
};
