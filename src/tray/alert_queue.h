#pragma once
// The tray's alerts from "systraySetAlert" to "alert_destroy": waiting for the
// notification area, shown one at a time, then destroyed or, when persistent,
// kept on the recent list until the user dismisses them. Alerts arrive on the
// plug-in's watcher thread and are shown on the tray's thread, hence the lock;
// the alert callbacks are called by the caller, outside it.
//
// A burst must not make notifications arrive hours late: beyond a few waiting
// alerts, the rest are folded into one "N more events" notification, shown
// after the waiting ones; the folded alerts themselves are handed back to be
// destroyed. The recent list keeps the newest ones only.

#include "base/host_records.h"

#include <cstddef>
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

constexpr size_t kWaitingAlertLimit = 10;
constexpr size_t kRecentAlertLimit = 50;

class AlertQueue {
public:
    // Any thread. Returns the alert's id.
    unsigned add(TrayAlert alert);
    // Alerts folded since the last call, to be destroyed (by the tray's thread).
    std::vector<TrayAlert> takeFolded();
    // The oldest waiting alert, when none is shown; it counts as shown from now on.
    std::optional<TrayAlert> showNext();
    std::optional<TrayAlert> shown() const;
    // The shown alert could not be shown after all: it waits again, first in line.
    void unshow();
    // The shown notification has closed: a persistent alert moves to the recent
    // list, and the oldest it pushes off comes back; any other comes back itself,
    // to be destroyed.
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
    // Alerts folded and not yet shown as "N more events"; any of them persistent.
    unsigned folded_count_ = 0;
    bool folded_persistent_ = false;
    std::vector<TrayAlert> folded_;
};
