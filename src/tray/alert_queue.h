#pragma once
// The tray's alerts from "systraySetAlert" to "alert_destroy": waiting for the
// notification area, shown one at a time, then destroyed or, when persistent,
// kept on the recent list until the user dismisses them. Alerts arrive on the
// plug-in's watcher thread and are shown on the tray's thread, hence the lock;
// the alert callbacks are called by the caller, outside it.

#include "base/host_records.h"

#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct TrayAlert {
    unsigned id = 0;
    std::string text; // with the plug-in's markup
    AlertCallback callback = nullptr;
    void* user_data = nullptr;
    bool persistent = false;
};

class AlertQueue {
public:
    // Any thread. Returns the alert's id.
    unsigned add(TrayAlert alert);
    // The oldest waiting alert, when none is shown; it counts as shown from now on.
    std::optional<TrayAlert> showNext();
    std::optional<TrayAlert> shown() const;
    // The shown notification has closed: a persistent alert moves to the recent
    // list; any other comes back, to be destroyed.
    std::optional<TrayAlert> closeShown();
    std::vector<TrayAlert> recent() const;
    // Takes a recent alert off the list, to be destroyed.
    std::optional<TrayAlert> dismiss(unsigned id);
    // Every alert not yet destroyed, oldest first; the queue is empty afterwards.
    std::vector<TrayAlert> takeAll();

private:
    mutable std::mutex mutex_;
    unsigned next_id_ = 1;
    std::deque<TrayAlert> waiting_;
    std::optional<TrayAlert> shown_;
    std::vector<TrayAlert> recent_;
};
