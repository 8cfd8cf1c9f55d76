#include "alert_queue.h"

#include <algorithm>
#include <string>

unsigned AlertQueue::add(TrayAlert alert) {
    std::lock_guard<std::mutex> hold(mutex_);
    alert.id = next_id_++;
    const unsigned id = alert.id;
    // Once folding has begun, later alerts fold too, so the count is shown in time.
    if (folded_count_ > 0 || waiting_.size() >= kWaitingAlertLimit) {
        ++folded_count_;
        folded_persistent_ = folded_persistent_ || alert.persistent;
        folded_.push_back(std::move(alert));
    } else {
        waiting_.push_back(std::move(alert));
    }
    return id;
}

std::vector<TrayAlert> AlertQueue::takeFolded() {
    std::lock_guard<std::mutex> hold(mutex_);
    std::vector<TrayAlert> folded = std::move(folded_);
    folded_.clear();
    return folded;
}

std::optional<TrayAlert> AlertQueue::showNext() {
    std::lock_guard<std::mutex> hold(mutex_);
    if (shown_)
        return std::nullopt;
    if (waiting_.empty()) {
        if (folded_count_ == 0)
            return std::nullopt;
        TrayAlert summary;
        summary.id = next_id_++;
        summary.text = std::to_string(folded_count_) + (folded_count_ == 1 ? " more event" : " more events");
        summary.persistent = folded_persistent_;
        folded_count_ = 0;
        folded_persistent_ = false;
        waiting_.push_back(std::move(summary));
    }
    shown_ = std::move(waiting_.front());
    waiting_.pop_front();
    return shown_;
}

void AlertQueue::unshow() {
    std::lock_guard<std::mutex> hold(mutex_);
    if (shown_)
        waiting_.push_front(std::move(*shown_));
    shown_.reset();
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
        if (recent_.size() <= kRecentAlertLimit)
            return std::nullopt;
        TrayAlert oldest = std::move(recent_.front());
        recent_.erase(recent_.begin());
        return oldest;
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
    all.insert(all.end(), folded_.begin(), folded_.end());
    folded_.clear();
    folded_count_ = 0;
    if (shown_)
        all.push_back(std::move(*shown_));
    shown_.reset();
    all.insert(all.end(), waiting_.begin(), waiting_.end());
    waiting_.clear();
    std::sort(all.begin(), all.end(), [](const TrayAlert& a, const TrayAlert& b) { return a.id < b.id; });
    return all;
}
