#pragma once

#include "monitor/connection_info.h"

#include <cstdint>
#include <string>
#include <utility>

enum class EventKind : int32_t {
    Enter = 1,
    Leave = 2,
    Presence = 3,
    FileOpened = 4,
    FileClosed = 5,
};

struct ShareEvent {
    ShareEvent() = default;
    ShareEvent(EventKind kind, ConnectionInfo connection) : Kind(kind), Connection(std::move(connection)) {}

    EventKind Kind = EventKind::Enter;
    ConnectionInfo Connection; // a copy taken when the event was made
    // A file event's file: its path within the share and on the server; empty for other events.
    std::string FileName;
    std::string FilePath;
};
