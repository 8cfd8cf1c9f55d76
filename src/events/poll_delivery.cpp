#include "events/poll_delivery.h"

#include "events/event_dispatch.h"
#include "events/event_log.h"
#include "events/host_names.h"

#include <string>

namespace {
constexpr size_t kBatchBytes = 64 * 1024;
}

void deliverPollEvents(const std::vector<ShareEvent>& events, uint64_t names_deadline,
                       const std::function<bool()>& stopping) {
    try {
        std::vector<std::string> addresses;
        for (const ShareEvent& event : events) {
            if (eventNeedsHostName(event))
                addresses.push_back(event.Connection.ComputerName);
        }
        requestHostNames(addresses);
    } catch (...) {
        // Out of memory: the events go out with the names known by then.
    }
    // A stopped poll's lines, written together: one opening of the file each
    // costs more than the line itself.
    std::string unwritten;
    bool stopped = false;
    // The names come in about the order asked, so each event goes out once its
    // own is known, while the queries of later ones still run.
    for (const ShareEvent& event : events) {
        if (!stopped) {
            try {
                if (eventNeedsHostName(event))
                    awaitHostNames({event.Connection.ComputerName}, names_deadline, stopping);
            } catch (...) {
                // Out of memory: this event goes out with the name known by now.
            }
            stopped = stopping();
        }
        if (stopped)
            dispatchEventLogOnly(event, unwritten);
        else
            dispatchEvent(event, false);
        if (unwritten.size() >= kBatchBytes) {
            appendLines(unwritten);
            unwritten.clear();
        }
    }
    if (!unwritten.empty())
        appendLines(unwritten);
}
