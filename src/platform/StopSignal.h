#pragma once

#include <functional>
#include <list>
#include <mutex>

#include "platform/Clock.h"

namespace velto::platform {

// Tells long-running workers that the program is quitting. Sleeps taken through it end
// at once when stop is requested, and a worker blocked elsewhere (a condition of its own,
// a transfer) is woken by a callback it registers for as long as it blocks.
class StopSignal {
  public:
    explicit StopSignal(Clock& clock) : changed_(clock) {}
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    // From any thread; runs the registered callbacks on the calling thread.
    void Request();
    bool Requested() const;

    // Sleep on the clock; false (at once) when stop is or gets requested.
    bool SleepUntil(Millis deadline);
    bool SleepFor(Millis duration);

    // Calls `wake` when stop is requested (at once when it was already) until the
    // returned object goes. `wake` must not block; it typically notifies a condition.
    class Subscription {
      public:
        Subscription(Subscription&& other) noexcept;
        Subscription& operator=(Subscription&&) = delete;
        Subscription(const Subscription&) = delete;
        ~Subscription();

      private:
        friend class StopSignal;
        using Entry = std::list<std::function<void()>>::iterator;
        Subscription(StopSignal* signal, Entry entry) : signal_(signal), entry_(entry) {}
        StopSignal* signal_;
        Entry entry_;
    };
    [[nodiscard]] Subscription OnStop(std::function<void()> wake);

  private:
    mutable std::mutex mutex_;
    ClockCondition changed_;
    bool requested_ = false;
    // Callbacks run under callbackMutex_, so that a subscription never goes while its
    // callback runs.
    std::mutex callbackMutex_;
    std::list<std::function<void()>> callbacks_;
};

}  // namespace velto::platform
