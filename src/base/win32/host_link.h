#pragma once
// The link to the host: the callback it hands over at "load", forgotten at
// "unload". Read by the host's thread and by the watcher thread (for alerts).

#include "base/host_records.h"

#include <atomic>

extern std::atomic<HostCallback> HostLink;

// Sends a request to the host. Skipped when no host is linked (before "load" or
// after "unload"), so nothing ever calls a missing callback.
void sendHostRequest(const char* request, void* record);
