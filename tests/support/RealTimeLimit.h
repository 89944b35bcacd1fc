#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace velto::test {

// A fixture's own real-time limit: if it is still alive after `limit` of real time, the
// test process prints `what` and aborts, so a hang fails in seconds instead of running into
// the test runner's time-out. Virtual-clock tests take milliseconds; the limit is only
// for a fault that stops them.
class RealTimeLimit {
  public:
    RealTimeLimit(std::chrono::seconds limit, std::string what);
    ~RealTimeLimit();
    RealTimeLimit(const RealTimeLimit&) = delete;
    RealTimeLimit& operator=(const RealTimeLimit&) = delete;

    // Stops the test process now with `why`, as the limit does when it runs out.
    [[noreturn]] static void Fail(const std::string& why);

  private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool ended_ = false;
    std::thread watch_;
};

}  // namespace velto::test
