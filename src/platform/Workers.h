#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Clock.h"

namespace velto::platform {

// Starts the program's worker threads. Each thread is made known to the clock before it
// starts, so virtual time never runs ahead of a thread that has yet to begin.
// The program's workers end on their own; JoinAll is for orderly shut-down and tests.
class Workers {
  public:
    explicit Workers(Clock& clock) : clock_(clock) {}
    ~Workers();
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    void Start(std::string name, std::function<void()> routine);

    // Waits for every thread started so far (and those they start meanwhile).
    void JoinAll();

    Clock& clock() const { return clock_; }

  private:
    Clock& clock_;
    std::mutex mutex_;
    std::vector<std::thread> threads_;
};

}  // namespace velto::platform
