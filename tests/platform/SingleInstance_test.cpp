#include <atomic>

#include <gtest/gtest.h>

#include "platform/SingleInstance.h"
#include "platform/VirtualClock.h"
#include "support/TempDir.h"

namespace velto::platform {
namespace {

TEST(SingleInstance, SecondOwnerIsRefusedAndItsRequestReachesTheFirst) {
    test::TempDir dir;
    VirtualClock clock(/*autoAdvance=*/false);  // time stands still: the wait ends by notify
    std::mutex mutex;
    ClockCondition shown(clock);
    int requests = 0;
    {
        SingleInstance first(dir / "run", "TESTINSTANCE");
        ASSERT_EQ(first.Acquire(), SingleInstance::Outcome::First);
        ASSERT_TRUE(first.Listen([&] {
            std::lock_guard guard(mutex);
            ++requests;
            shown.NotifyAll();
        }));
        SingleInstance second(dir / "run", "TESTINSTANCE");
        EXPECT_EQ(second.Acquire(), SingleInstance::Outcome::AnotherRunning);
        EXPECT_TRUE(second.AskOwnerToShow());
        std::unique_lock lock(mutex);
        EXPECT_TRUE(shown.WaitFor(lock, Millis(5000), [&] { return requests == 1; }));
    }
    // The owner is gone: its lock with it, and nobody answers any more.
    SingleInstance third(dir / "run", "TESTINSTANCE");
    EXPECT_FALSE(third.AskOwnerToShow());
    EXPECT_EQ(third.Acquire(), SingleInstance::Outcome::First);
}

TEST(SingleInstance, LockFileThatCannotBeCreatedFails) {
    SingleInstance instance("/proc/velto-no-such-folder", "X");
    EXPECT_EQ(instance.Acquire(), SingleInstance::Outcome::Failed);
    EXPECT_NE(instance.error(), 0);
}

}  // namespace
}  // namespace velto::platform
