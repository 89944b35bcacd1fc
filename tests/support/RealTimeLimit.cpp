#include "support/RealTimeLimit.h"

#include <cstdio>
#include <cstdlib>

namespace velto::test {

RealTimeLimit::RealTimeLimit(std::chrono::milliseconds limit, std::string what) {
    watcher_ = std::thread([this, limit, what = std::move(what)] {
        std::unique_lock lock(mutex_);
        if (!done_.wait_for(lock, limit, [this] { return finished_; })) {
            std::fprintf(stderr, "%s: still not done after %lld ms of real time\n", what.c_str(),
                         static_cast<long long>(limit.count()));
            std::fflush(stderr);
            std::abort();
        }
    });
}

RealTimeLimit::~RealTimeLimit() {
    {
        std::lock_guard guard(mutex_);
        finished_ = true;
    }
    done_.notify_all();
    watcher_.join();
}

}  // namespace velto::test
