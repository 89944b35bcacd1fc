#include "backends/sim/ClockAlarm.h"

#include <pthread.h>

namespace velto::skype::sim {

ClockAlarm::ClockAlarm(platform::Clock& clock, std::function<void()> ring)
    : clock_(clock), ring_(std::move(ring)), changed_(clock) {
    // Known before it starts, so that time never runs ahead of it.
    clock_.AddThread();
    thread_ = std::thread([this] { Run(); });
}

ClockAlarm::~ClockAlarm() {
    Stop();
}

void ClockAlarm::Stop() {
    {
        std::lock_guard guard(mutex_);
        stop_ = true;
        changed_.NotifyAll();
    }
    if (thread_.joinable()) {
        thread_.join();
    }
}

void ClockAlarm::Set(std::optional<platform::Millis> at) {
    std::lock_guard guard(mutex_);
    if (at_ == at) {
        return;
    }
    at_ = at;
    reset_ = true;
    changed_.NotifyAll();
}

void ClockAlarm::Run() {
    // Named, so that figures can tell the simulated client's thread from the program's.
    pthread_setname_np(pthread_self(), "sim-alarm");
    std::unique_lock lock(mutex_);
    while (!stop_) {
        if (at_ && clock_.Now() >= *at_) {
            at_.reset();
            lock.unlock();
            ring_();
            lock.lock();
            continue;
        }
        reset_ = false;
        const auto woken = [this] { return stop_ || reset_; };
        if (at_) {
            changed_.WaitUntil(lock, *at_, woken);
        } else {
            changed_.Wait(lock, woken);
        }
    }
    lock.unlock();
    clock_.RemoveThread();
}

}  // namespace velto::skype::sim
