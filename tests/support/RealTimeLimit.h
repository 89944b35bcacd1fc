#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace velto::test {

// A hang must be a quick failure, not a run into the test driver's time-out: when the
// guarded scope lasts longer than `limit` of real time, the process ends with a message
// naming `what`. Never a way to wait for the program's work.
class RealTimeLimit {
  public:
    RealTimeLimit(std::chrono::milliseconds limit, std::string what);
    ~RealTimeLimit();
    RealTimeLimit(const RealTimeLimit&) = delete;
    RealTimeLimit& operator=(const RealTimeLimit&) = delete;

    // Ends the test process now with `why`, as the limit does when it runs out: for a
    // fault that would otherwise leave the test waiting until the limit.
    [[noreturn]] static void Fail(const std::string& why);

  private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread watcher_;
};

}  // namespace velto::test
