#include "alert_queue.h"

#include <algorithm>

unsigned AlertQueue::add(TrayAlert alert) {
    std::lock_guard<std::mutex> hold(mutex_);
    alert.id = next_id_++;
    waiting_.push_back(std::move(alert));
    return waiting_.back().id;
}

std::optional<TrayAlert> AlertQueue::showNext() {
    std::lock_guard<std::mutex> hold(mutex_);
    if (shown_ || waiting_.empty())
        return std::nullopt;
    shown_ = std::move(waiting_.front());
    waiting_.pop_front();
    return shown_;
}

std::optional<TrayAlert> AlertQueue::shown() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return shown_;
}

std::optional<TrayAlert> AlertQueue::closeShown() {
    std::lock_guard<std::mutex> hold(mutex_);
    std::optional<TrayAlert> closed;
    closed.swap(shown_);
    if (closed && closed->persistent) {
        recent_.push_back(std::move(*closed));
        return std::nullopt;
    }
    return closed;
}

std::vector<TrayAlert> AlertQueue::recent() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return recent_;
}

std::optional<TrayAlert> AlertQueue::dismiss(unsigned id) {
    std::lock_guard<std::mutex> hold(mutex_);
    const auto found =
        std::find_if(recent_.begin(), recent_.end(), [id](const TrayAlert& alert) { return alert.id == id; });
    if (found == recent_.end())
        return std::nullopt;
    TrayAlert dismissed = std::move(*found);
    recent_.erase(found);
    return dismissed;
}

std::vector<TrayAlert> AlertQueue::takeAll() {
    std::lock_guard<std::mutex> hold(mutex_);
    std::vector<TrayAlert> all = std::move(recent_);
    recent_.clear();
    if (shown_)
        all.push_back(std::move(*shown_));
    shown_.reset();
    all.insert(all.end(), waiting_.begin(), waiting_.end());
    waiting_.clear();
    std::sort(all.begin(), all.end(), [](const TrayAlert& a, const TrayAlert& b) { return a.id < b.id; });
    return all;
}
