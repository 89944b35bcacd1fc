#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/Clock.h"

namespace velto::skype::sim {

// A thread of the simulated client that runs `ring` when the clock reaches the moment last
// set: how the client tells of things that happen with time alone (a file set as a call's
// input has played to its end). The thread is known to the clock, so virtual time jumps to
// the moment when every other thread waits.
class ClockAlarm {
  public:
    ClockAlarm(platform::Clock& clock, std::function<void()> ring);
    // Stops and joins the thread; `ring` is not running any more afterwards.
    ~ClockAlarm();
    // The same, while the owner can still be reached from `ring` (which may run meanwhile).
    // Once only, from the owner's thread.
    void Stop();
    ClockAlarm(const ClockAlarm&) = delete;
    ClockAlarm& operator=(const ClockAlarm&) = delete;

    // From any thread, also from `ring`: rings at `at` (in place of any earlier moment),
    // or never.
    void Set(std::optional<platform::Millis> at);

  private:
    void Run();

    platform::Clock& clock_;
    std::function<void()> ring_;
    std::mutex mutex_;
    platform::ClockCondition changed_;
    std::optional<platform::Millis> at_;
    bool reset_ = false;
    bool stop_ = false;
    std::thread thread_;  // last: it uses the members above
};

}  // namespace velto::skype::sim
