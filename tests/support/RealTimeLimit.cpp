#include "support/RealTimeLimit.h"

#include <cstdio>
#include <cstdlib>

namespace velto::test {

RealTimeLimit::RealTimeLimit(std::chrono::seconds limit, std::string what) {
    watch_ = std::thread([this, limit, what = std::move(what)] {
        std::unique_lock lock(mutex_);
        if (!done_.wait_for(lock, limit, [this] { return ended_; })) {
            Fail(what + ": still running after " + std::to_string(limit.count()) +
                 " s of real time (a hang)");
        }
    });
}

RealTimeLimit::~RealTimeLimit() {
    {
        std::lock_guard guard(mutex_);
        ended_ = true;
    }
    done_.notify_all();
    watch_.join();
}

void RealTimeLimit::Fail(const std::string& why) {
    std::fprintf(stderr, "\n*** %s\n", why.c_str());
    std::fflush(stderr);
    std::abort();
}

}  // namespace velto::test
