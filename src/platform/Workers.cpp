#include "platform/Workers.h"

#include <pthread.h>

#include "platform/Trace.h"

namespace velto::platform {

Workers::~Workers() {
    JoinAll();
}

void Workers::Start(std::string name, std::function<void()> routine) {
    clock_.AddThread();
    std::lock_guard guard(mutex_);
    ReapFinishedLocked();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([this, finished, name = std::move(name), routine = std::move(routine)] {
        pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
        try {
            routine();
        } catch (const std::exception& e) {
            Trace("%s: ended by an unexpected error: %s\n", name.c_str(), e.what());
        } catch (...) {
            Trace("%s: ended by an unexpected error\n", name.c_str());
        }
        clock_.RemoveThread();
        finished->store(true);
    });
    threads_.push_back(Worker{std::move(thread), std::move(finished)});
}

void Workers::ReapFinishedLocked() {
    for (auto it = threads_.begin(); it != threads_.end();) {
        if (it->finished->load() && it->thread.get_id() != std::this_thread::get_id()) {
            it->thread.join();  // the routine has returned: only the thread's exit is left
            it = threads_.erase(it);
        } else {
            ++it;
        }
    }
}

size_t Workers::Tracked() {
    std::lock_guard guard(mutex_);
    return threads_.size();
}

void Workers::JoinAll() {
    for (;;) {
        std::vector<Worker> batch;
        {
            std::lock_guard guard(mutex_);
            batch.swap(threads_);
        }
        if (batch.empty()) {
            return;
        }
        Clock::OutsideWait outside(clock_);
        for (auto& worker : batch) {
            if (worker.thread.get_id() == std::this_thread::get_id()) {
                worker.thread.detach();
            } else if (worker.thread.joinable()) {
                worker.thread.join();
            }
        }
    }
}

}  // namespace velto::platform
