#include "platform/VirtualClock.h"

#include <algorithm>

namespace velto::platform {

VirtualClock::VirtualClock(bool autoAdvance, WallTime wallStart)
    : wallStart_(wallStart), autoAdvance_(autoAdvance) {}

Millis VirtualClock::Now() const {
    std::lock_guard guard(mutex_);
    return now_;
}

WallTime VirtualClock::WallNow() const {
    std::lock_guard guard(mutex_);
    return wallStart_ + now_;
}

void VirtualClock::Advance(Millis duration) {
    std::lock_guard guard(mutex_);
    now_ += duration;
    WakeExpiredLocked();
}

void VirtualClock::SetAutoAdvance(bool on) {
    std::lock_guard guard(mutex_);
    autoAdvance_ = on;
    MaybeAdvanceLocked();
}

void VirtualClock::AddThread() {
    std::lock_guard guard(mutex_);
    ++known_;
}

void VirtualClock::RemoveThread() {
    std::lock_guard guard(mutex_);
    --known_;
    MaybeAdvanceLocked();
}

void VirtualClock::BeginOutsideWait() {
    std::lock_guard guard(mutex_);
    ++blocked_;
    MaybeAdvanceLocked();
}

void VirtualClock::EndOutsideWait() {
    std::lock_guard guard(mutex_);
    --blocked_;
}

int VirtualClock::KnownThreads() const {
    std::lock_guard guard(mutex_);
    return known_;
}

int VirtualClock::BlockedThreads() const {
    std::lock_guard guard(mutex_);
    return blocked_;
}

void VirtualClock::WaitOnce(ClockCondition& cond, std::unique_lock<std::mutex>& lock,
                            Millis deadline) {
    Waiter waiter;
    waiter.cond = &cond;
    waiter.deadline = deadline;
    {
        // Registered before the caller's lock is released: a notifier that changes state
        // under that lock either ran before our predicate check or finds us here.
        std::unique_lock guard(mutex_);
        if (deadline != kForever && now_ >= deadline) {
            return;
        }
        waiters_.push_back(&waiter);
        ++blocked_;
        lock.unlock();
        MaybeAdvanceLocked();
        waiter.cv.wait(guard, [&] { return waiter.woken; });
    }
    lock.lock();
}

void VirtualClock::NotifyAll(ClockCondition& cond) {
    std::lock_guard guard(mutex_);
    std::vector<Waiter*> hit;
    for (Waiter* w : waiters_) {
        if (w->cond == &cond) {
            hit.push_back(w);
        }
    }
    for (Waiter* w : hit) {
        WakeLocked(w);
    }
}

// The woken thread counts as running from this moment, before it is scheduled, so time
// cannot jump past work that is about to happen.
void VirtualClock::WakeLocked(Waiter* waiter) {
    waiters_.erase(std::find(waiters_.begin(), waiters_.end(), waiter));
    --blocked_;
    waiter->woken = true;
    waiter->cv.notify_one();
}

void VirtualClock::WakeExpiredLocked() {
    std::vector<Waiter*> expired;
    for (Waiter* w : waiters_) {
        if (w->deadline != kForever && w->deadline <= now_) {
            expired.push_back(w);
        }
    }
    for (Waiter* w : expired) {
        WakeLocked(w);
    }
}

void VirtualClock::MaybeAdvanceLocked() {
    if (!autoAdvance_ || blocked_ < known_) {
        return;
    }
    Millis earliest = kForever;
    for (const Waiter* w : waiters_) {
        earliest = std::min(earliest, w->deadline);
    }
    if (earliest == kForever) {
        return;  // everybody waits for somebody else: only a notification can help
    }
    now_ = std::max(now_, earliest);
    WakeExpiredLocked();
}

}  // namespace velto::platform
