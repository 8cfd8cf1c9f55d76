#pragma once
// One poll's events, delivered by the watcher: the host names they need are
// asked for side by side first, and awaited for a bounded time.

#include "monitor/share_event.h"

#include <cstdint>
#include <functional>
#include <vector>

// How long after its query a poll's events wait for their host names. An
// address whose answer comes later stands as its own host name in them; its
// query goes on and its answer serves later events.
constexpr uint64_t kNameWaitMilliseconds = 3000;

// Delivers the events in order, each once its name is known, `names_deadline`
// (a tick count) has passed or `stopping` says yes. `stopping` is also asked
// between events: from then on the remaining events get their log lines at
// once, with the names known by then, and no alerts.
void deliverPollEvents(const std::vector<ShareEvent>& events, uint64_t names_deadline,
                       const std::function<bool()>& stopping);
