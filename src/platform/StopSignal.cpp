#include "platform/StopSignal.h"

namespace velto::platform {

void StopSignal::Request() {
    {
        std::lock_guard guard(mutex_);
        if (requested_) {
            return;
        }
        requested_ = true;
    }
    changed_.NotifyAll();
    std::lock_guard guard(callbackMutex_);
    for (const auto& wake : callbacks_) {
        wake();
    }
}

bool StopSignal::Requested() const {
    std::lock_guard guard(mutex_);
    return requested_;
}

bool StopSignal::SleepUntil(Millis deadline) {
    std::unique_lock lock(mutex_);
    changed_.WaitUntil(lock, deadline, [this] { return requested_; });
    return !requested_;
}

bool StopSignal::SleepFor(Millis duration) {
    return SleepUntil(changed_.clock().Now() + duration);
}

StopSignal::Subscription StopSignal::OnStop(std::function<void()> wake) {
    std::unique_lock guard(callbackMutex_);
    const auto entry = callbacks_.insert(callbacks_.end(), std::move(wake));
    if (Requested()) {
        (*entry)();
    }
    return Subscription(this, entry);
}

StopSignal::Subscription::Subscription(Subscription&& other) noexcept
    : signal_(other.signal_), entry_(other.entry_) {
    other.signal_ = nullptr;
}

StopSignal::Subscription::~Subscription() {
    if (signal_ != nullptr) {
        std::lock_guard guard(signal_->callbackMutex_);
        signal_->callbacks_.erase(entry_);
    }
}

}  // namespace velto::platform
