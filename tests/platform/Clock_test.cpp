#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "platform/VirtualClock.h"
#include "platform/Workers.h"

namespace velto::platform {
namespace {

TEST(VirtualClock, SleepAloneJumpsStraightToTheDeadline) {
    VirtualClock clock;
    clock.SleepFor(std::chrono::hours(6));
    EXPECT_EQ(clock.Now(), std::chrono::hours(6));
    EXPECT_EQ(clock.WallNow() - clock.WallNow(), Millis(0));
}

TEST(VirtualClock, ThreadsWakeInDeadlineOrder) {
    VirtualClock clock;
    std::mutex mutex;
    std::vector<int> order;
    {
        Workers workers(clock);
        for (int i : {3, 1, 2}) {
            workers.Start("sleeper", [&, i] {
                clock.SleepFor(Millis(100 * i));
                std::lock_guard guard(mutex);
                order.push_back(i);
            });
        }
        workers.JoinAll();
    }
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(clock.Now(), Millis(300));
}

TEST(VirtualClock, TimeStandsStillWhileAKnownThreadWorks) {
    VirtualClock clock;
    std::atomic<bool> release{false};
    std::atomic<bool> woke{false};
    Workers workers(clock);
    workers.Start("busy", [&] {
        while (!release) {
            std::this_thread::yield();  // running, not waiting on the clock
        }
    });
    workers.Start("sleeper", [&] {
        clock.SleepFor(Millis(50));
        woke = true;
    });
    // The main thread and "busy" are running: no jump may happen.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(woke);
    EXPECT_EQ(clock.Now(), Millis(0));
    release = true;
    workers.JoinAll();
    EXPECT_TRUE(woke);
    EXPECT_EQ(clock.Now(), Millis(50));
}

TEST(VirtualClock, NotifyWakesBeforeTheTimeout) {
    VirtualClock clock;
    std::mutex mutex;
    ClockCondition cond(clock);
    bool ready = false;
    bool result = false;
    Workers workers(clock);
    workers.Start("waiter", [&] {
        std::unique_lock lock(mutex);
        result = cond.WaitFor(lock, Millis(10'000), [&] { return ready; });
    });
    clock.SleepFor(Millis(30));
    {
        std::lock_guard guard(mutex);
        ready = true;
    }
    cond.NotifyAll();
    workers.JoinAll();
    EXPECT_TRUE(result);
    EXPECT_EQ(clock.Now(), Millis(30));
}

TEST(VirtualClock, WaitTimesOutAndManualAdvanceWakes) {
    VirtualClock clock(/*autoAdvance=*/false);
    std::mutex mutex;
    ClockCondition cond(clock);
    std::atomic<bool> done{false};
    bool result = true;
    Workers workers(clock);
    workers.Start("waiter", [&] {
        std::unique_lock lock(mutex);
        result = cond.WaitFor(lock, Millis(500), [] { return false; });
        done = true;
    });
    while (clock.BlockedThreads() == 0) {
        std::this_thread::yield();  // until the waiter has taken its deadline
    }
    clock.Advance(Millis(499));
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(done);
    clock.Advance(Millis(1));
    workers.JoinAll();
    EXPECT_FALSE(result);
}

}  // namespace
}  // namespace velto::platform

namespace velto::platform {
namespace {

TEST(Workers, FinishedThreadsAreJoinedAtTheNextStart) {
    VirtualClock clock;
    Workers workers(clock);
    std::atomic<int> ran{0};
    for (int i = 0; i < 50; ++i) {
        workers.Start("quick", [&] { ++ran; });
        while (ran.load() <= i) {
            std::this_thread::yield();  // until this routine has run
        }
    }
    // Threads whose routine had returned were joined by the following Start.
    EXPECT_LT(workers.Tracked(), 50u);
    workers.JoinAll();
    EXPECT_EQ(workers.Tracked(), 0u);
}

}  // namespace
}  // namespace velto::platform
