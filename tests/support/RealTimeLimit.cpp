#include "support/RealTimeLimit.h"

#include <cstdio>
#include <cstdlib>

namespace velto::test {

RealTimeLimit::RealTimeLimit(std::chrono::milliseconds limit, std::string what) {
    watcher_ = std::thread([this, limit, what = std::move(what)] {
        std::unique_lock lock(mutex_);
        if (!done_.wait_for(lock, limit, [this] { return finished_; })) {
            Fail(what + ": still not done after " + std::to_string(limit.count()) +
                 " ms of real time");
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

void RealTimeLimit::Fail(const std::string& why) {
    std::fprintf(stderr, "%s\n", why.c_str());
    std::fflush(stderr);
    std::abort();
}

}  // namespace velto::test
