#include "events/host_names.h"

#include "base/abandonable_mutex.h"
#include "base/trace.h"
#include "events/name_cache.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <unordered_map>

namespace {

constexpr uint64_t kStopCheckMilliseconds = 50;

// Shared by the watcher, the user-interface thread and the lookup threads. The
// lock is never held across a query. A watcher ended by force must not keep it.
struct HostNames {
    AbandonableMutex lock;
    std::condition_variable_any answered; // a query ended, or queued ones were dropped
    NameCache cache;
    // The addresses with a query to come (false) or under way (true).
    std::unordered_map<std::string, bool> pending;
    std::deque<std::string> queue; // may still hold addresses no longer pending
    int workers = 0;
};

HostNames& hostNames() {
    static HostNames names;
    return names;
}

// Takes the next queued address that is still waiting for a thread.
bool takeQueued(HostNames& names, std::string& address) {
    while (!names.queue.empty()) {
        std::string next = std::move(names.queue.front());
        names.queue.pop_front();
        const auto waiting = names.pending.find(next);
        if (waiting != names.pending.end() && !waiting->second) {
            waiting->second = true;
            address = std::move(next);
            return true;
        }
    }
    return false;
}

// The query of an address this thread has taken: its answer is kept and the
// waiters are told, or, when it fails by an exception, the address is let go.
NameAnswer queryAndKeep(HostNames& names, const std::string& address) {
    NameAnswer answer;
    try {
        answer.found = platformReverseLookup(address, answer.host_name, answer.error_code);
        std::lock_guard<AbandonableMutex> hold(names.lock);
        names.pending.erase(address);
        names.cache.store(address, answer, platformTickCount());
    } catch (...) {
        {
            std::lock_guard<AbandonableMutex> hold(names.lock);
            names.pending.erase(address);
        }
        names.answered.notify_all();
        throw;
    }
    names.answered.notify_all();
    return answer;
}

void traceAnswer(const std::string& address, const NameAnswer& answer) {
    if (answer.found)
        DebugTrace("%s: resolving [%s] = [%s]", TRACE_TAG, address.c_str(), answer.host_name.c_str());
    else
        DebugTrace("%s: resolving [%s] = ERROR (%d)", TRACE_TAG, address.c_str(), answer.error_code);
}

} // namespace

std::string resolveComputerName(const std::string& address, NameWait wait) {
    HostNames& names = hostNames();
    NameAnswer answer;
    bool known = false;
    bool query_here = false;
    {
        std::unique_lock<AbandonableMutex> hold(names.lock);
        for (;;) {
            known = names.cache.find(address, platformTickCount(), answer);
            if (known || wait == NameWait::KnownOnly)
                break;
            const auto pending = names.pending.find(address);
            if (pending == names.pending.end() || !pending->second) {
                // Not begun by a lookup thread: this thread asks, and the queue skips it.
                names.pending[address] = true;
                query_here = true;
                break;
            }
            names.answered.wait(hold);
        }
    }
    if (query_here) {
        answer = queryAndKeep(names, address);
        known = true;
    }
    if (!known) {
        requestHostNames({address});
        answer.error_code = kNameLateError;
    }
    traceAnswer(address, answer);
    return answer.found ? answer.host_name : address;
}

void requestHostNames(const std::vector<std::string>& addresses) {
    HostNames& names = hostNames();
    int to_start = 0;
    {
        std::lock_guard<AbandonableMutex> hold(names.lock);
        const uint64_t now = platformTickCount();
        for (const std::string& address : addresses) {
            NameAnswer known;
            if (names.pending.count(address) != 0 || names.cache.find(address, now, known))
                continue;
            names.queue.push_back(address);
            names.pending.emplace(address, false);
        }
        const size_t queued = names.queue.size();
        to_start =
            static_cast<int>(std::min<size_t>(queued, static_cast<size_t>(kLookupThreads - names.workers)));
        names.workers += to_start;
    }
    for (int i = 0; i < to_start; ++i) {
        if (!platformStartLookupThread()) {
            // The queries stay queued for a later request, or for a thread that asks itself.
            std::lock_guard<AbandonableMutex> hold(names.lock);
            names.workers -= to_start - i;
            break;
        }
    }
}

bool awaitHostNames(const std::vector<std::string>& addresses, uint64_t deadline,
                    const std::function<bool()>& stopping) {
    HostNames& names = hostNames();
    std::unique_lock<AbandonableMutex> hold(names.lock);
    for (;;) {
        const bool all_answered =
            std::none_of(addresses.begin(), addresses.end(),
                         [&names](const std::string& a) { return names.pending.count(a) != 0; });
        if (all_answered)
            return true;
        if (stopping && stopping())
            return false;
        const uint64_t now = platformTickCount();
        if (now >= deadline)
            return false;
        names.answered.wait_for(hold,
                                std::chrono::milliseconds(std::min(deadline - now, kStopCheckMilliseconds)));
    }
}

void cancelQueuedLookups() {
    HostNames& names = hostNames();
    {
        std::lock_guard<AbandonableMutex> hold(names.lock);
        for (auto entry = names.pending.begin(); entry != names.pending.end();)
            entry = entry->second ? std::next(entry) : names.pending.erase(entry);
        names.queue.clear();
    }
    names.answered.notify_all();
}

void forgetHostNames() {
    HostNames& names = hostNames();
    std::lock_guard<AbandonableMutex> hold(names.lock);
    names.cache.clear();
}

void runLookupWorker() {
    HostNames& names = hostNames();
    for (;;) {
        try {
            std::string address;
            {
                std::lock_guard<AbandonableMutex> hold(names.lock);
                if (!takeQueued(names, address)) {
                    --names.workers;
                    return;
                }
            }
            queryAndKeep(names, address);
        } catch (...) {
            // Out of memory: that address goes without an answer; the next one is tried.
        }
    }
}
