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
    threads_.emplace_back([this, name = std::move(name), routine = std::move(routine)] {
        pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
        try {
            routine();
        } catch (const std::exception& e) {
            Trace("%s: ended by an unexpected error: %s\n", name.c_str(), e.what());
        }
        clock_.RemoveThread();
    });
}

void Workers::JoinAll() {
    for (;;) {
        std::vector<std::thread> batch;
        {
            std::lock_guard guard(mutex_);
            batch.swap(threads_);
        }
        if (batch.empty()) {
            return;
        }
        Clock::OutsideWait outside(clock_);
        for (auto& t : batch) {
            if (t.get_id() == std::this_thread::get_id()) {
                t.detach();
            } else if (t.joinable()) {
                t.join();
            }
        }
    }
}

}  // namespace velto::platform
