#include "events/poll_delivery.h"

#include "events/event_dispatch.h"
#include "events/host_names.h"

#include <string>

void deliverPollEvents(const std::vector<ShareEvent>& events, uint64_t names_deadline,
                       const std::function<bool()>& stopping) {
    try {
        std::vector<std::string> addresses;
        for (const ShareEvent& event : events) {
            if (eventNeedsHostName(event))
                addresses.push_back(event.Connection.ComputerName);
        }
        if (!addresses.empty()) {
            requestHostNames(addresses);
            awaitHostNames(addresses, names_deadline, stopping);
        }
    } catch (...) {
        // Out of memory: the events go out with the names known by now.
    }
    bool stopped = false;
    for (const ShareEvent& event : events) {
        stopped = stopped || stopping();
        if (stopped)
            dispatchEventLogOnly(event);
        else
            dispatchEvent(event, false);
    }
}
