#pragma once

#include <vector>

#include "platform/Clock.h"

namespace velto::platform {

// Test clock. Time stands still while any known thread is running; when every known
// thread is waiting on the clock, time jumps to the earliest deadline (auto-advance).
// Tests may also move time by hand with Advance.
class VirtualClock final : public Clock {
  public:
    // The creating thread counts as a known thread.
    explicit VirtualClock(bool autoAdvance = true,
                          WallTime wallStart = WallTime(std::chrono::seconds(1'800'000'000)));

    Millis Now() const override;
    WallTime WallNow() const override;

    void Advance(Millis duration);
    void SetAutoAdvance(bool on);

    void AddThread() override;
    void RemoveThread() override;
    void BeginOutsideWait() override;
    void EndOutsideWait() override;

    // For diagnostics in tests.
    int KnownThreads() const;
    int BlockedThreads() const;

  protected:
    void WaitOnce(ClockCondition& cond, std::unique_lock<std::mutex>& lock,
                  Millis deadline) override;
    void NotifyAll(ClockCondition& cond) override;

  private:
    struct Waiter {
        ClockCondition* cond = nullptr;
        Millis deadline{0};
        bool woken = false;
        std::condition_variable cv;
    };

    void WakeLocked(Waiter* waiter);
    void WakeExpiredLocked();
    void MaybeAdvanceLocked();

    mutable std::mutex mutex_;
    Millis now_{0};
    WallTime wallStart_;
    bool autoAdvance_;
    int known_ = 1;
    int blocked_ = 0;
    std::vector<Waiter*> waiters_;
};

}  // namespace velto::platform
