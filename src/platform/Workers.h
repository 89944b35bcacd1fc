#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Clock.h"
#include "platform/StopSignal.h"

namespace velto::platform {

// Starts the program's worker threads. Each thread is made known to the clock before it
// starts, so virtual time never runs ahead of a thread that has yet to begin.
// The program's workers end on their own; JoinAll is for orderly shut-down and tests.
// Long workers honour stop(): once shut-down requests it, they end their waits and
// transfers at once, so that the join is short.
class Workers {
  public:
    explicit Workers(Clock& clock) : clock_(clock), stop_(clock) {}
    ~Workers();
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    void Start(std::string name, std::function<void()> routine);

    // Waits for every thread started so far (and those they start meanwhile).
    void JoinAll();

    Clock& clock() const { return clock_; }
    StopSignal& stop() { return stop_; }

    // Threads started and not yet joined (finished ones are joined at the next Start).
    size_t Tracked();

  private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };
    // A finished thread keeps its stack until joined: a program that runs for weeks and
    // starts a thread per call must not collect them.
    void ReapFinishedLocked();

    Clock& clock_;
    StopSignal stop_;
    std::mutex mutex_;
    std::vector<Worker> threads_;
};

}  // namespace velto::platform
