#include "backends/sip/SipLoop.h"

#include <pthread.h>

namespace velto::skype::sip {

SipLoop::SipLoop(platform::Clock& clock, std::function<void()> turn,
                 std::function<platform::Millis()> interval)
    : clock_(clock), turn_(std::move(turn)), interval_(std::move(interval)), changed_(clock) {}

SipLoop::~SipLoop() {
    Stop();
}

void SipLoop::Start() {
    thread_ = std::thread([this] {
        pthread_setname_np(pthread_self(), "sip");
        Run();
    });
}

void SipLoop::Stop() {
    {
        std::lock_guard guard(mutex_);
        stop_ = true;
        changed_.NotifyAll();
    }
    if (thread_.joinable() && !OnLoopThread()) {
        thread_.join();
    }
}

void SipLoop::Post(std::function<void()> task) {
    std::lock_guard guard(mutex_);
    if (stop_) {
        return;
    }
    tasks_.push_back(std::move(task));
    changed_.NotifyAll();
}

uint64_t SipLoop::turns() const {
    std::lock_guard guard(mutex_);
    return turns_;
}

void SipLoop::Run() {
    platform::Millis next = clock_.Now();
    for (;;) {
        std::deque<std::function<void()>> ready;
        bool stopping = false;
        {
            std::unique_lock lock(mutex_);
            changed_.WaitUntil(lock, next, [&] { return !tasks_.empty() || stop_; });
            ready.swap(tasks_);
            stopping = stop_;
        }
        for (auto& task : ready) {
            task();
        }
        if (stopping) {
            return;
        }
        // Posted work usually queues something to send: iterate at once.
        if (!ready.empty() || clock_.Now() >= next) {
            turn_();
            std::lock_guard guard(mutex_);
            ++turns_;
            next = clock_.Now() + interval_();
        }
    }
}

}  // namespace velto::skype::sip
