#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace velto::platform {

using Millis = std::chrono::milliseconds;
using WallTime = std::chrono::system_clock::time_point;

class ClockCondition;

// Every wait, poll and time-out of the program goes through a Clock, so that tests can
// run hours of program time in milliseconds (VirtualClock) while the program uses the real
// one (RealClock).
//
// Threads that wait on a virtual clock must be known to it: the creating thread is, and
// threads started through Workers are registered automatically. A thread that blocks on
// something the clock does not see (joining a thread, a socket) while time should go on
// wraps that in a Clock::OutsideWait.
class Clock {
  public:
    virtual ~Clock() = default;

    // Monotonic time since an arbitrary epoch.
    virtual Millis Now() const = 0;
    // Calendar time, for time stamps shown to the user or written to files.
    virtual WallTime WallNow() const = 0;

    void SleepFor(Millis duration);
    void SleepUntil(Millis deadline);

    // Thread accounting (no-ops on the real clock).
    virtual void AddThread() {}
    virtual void RemoveThread() {}
    virtual void BeginOutsideWait() {}
    virtual void EndOutsideWait() {}

    class OutsideWait {
      public:
        explicit OutsideWait(Clock& clock) : clock_(clock) { clock_.BeginOutsideWait(); }
        ~OutsideWait() { clock_.EndOutsideWait(); }
        OutsideWait(const OutsideWait&) = delete;
        OutsideWait& operator=(const OutsideWait&) = delete;

      private:
        Clock& clock_;
    };

  protected:
    friend class ClockCondition;
    static constexpr Millis kForever = Millis::max();

    // Blocks with `lock` released until NotifyAll on `cond` or until `deadline`; returns
    // with `lock` held. May wake spuriously.
    virtual void WaitOnce(ClockCondition& cond, std::unique_lock<std::mutex>& lock,
                          Millis deadline) = 0;
    virtual void NotifyAll(ClockCondition& cond) = 0;
};

// A condition variable whose waits run on a Clock. Use with a predicate, always.
class ClockCondition {
  public:
    explicit ClockCondition(Clock& clock) : clock_(clock) {}
    ClockCondition(const ClockCondition&) = delete;
    ClockCondition& operator=(const ClockCondition&) = delete;

    template <typename Pred>
    void Wait(std::unique_lock<std::mutex>& lock, Pred pred) {
        while (!pred()) {
            clock_.WaitOnce(*this, lock, Clock::kForever);
        }
    }

    // Returns pred() at the end: false means the time ran out first.
    template <typename Pred>
    bool WaitUntil(std::unique_lock<std::mutex>& lock, Millis deadline, Pred pred) {
        while (!pred()) {
            if (clock_.Now() >= deadline) {
                return pred();
            }
            clock_.WaitOnce(*this, lock, deadline);
        }
        return true;
    }

    template <typename Pred>
    bool WaitFor(std::unique_lock<std::mutex>& lock, Millis timeout, Pred pred) {
        return WaitUntil(lock, clock_.Now() + timeout, pred);
    }

    void NotifyAll() { clock_.NotifyAll(*this); }

    Clock& clock() const { return clock_; }

  private:
    friend class RealClock;
    Clock& clock_;
    std::condition_variable realCv_;  // used by RealClock only
};

class RealClock final : public Clock {
  public:
    Millis Now() const override;
    WallTime WallNow() const override;

  protected:
    void WaitOnce(ClockCondition& cond, std::unique_lock<std::mutex>& lock,
                  Millis deadline) override;
    void NotifyAll(ClockCondition& cond) override;
};

}  // namespace velto::platform
