#include <atomic>

#include <gtest/gtest.h>

#include "platform/VirtualClock.h"
#include "platform/WindowManager.h"
#include "platform/Workers.h"
#include "support/RealTimeLimit.h"

namespace velto::platform {
namespace {

class Recorder : public MessageTarget {
  public:
    LResult OnMessage(uint32_t message, WParam wParam, LParam) override {
        received.push_back(message);
        return static_cast<LResult>(wParam * 2);
    }
    std::vector<uint32_t> received;
};

TEST(WindowManager, PostedMessagesArriveInOrderOnTheLoopThread) {
    VirtualClock clock;
    MessageLoop loop(clock);
    WindowManager windows;
    Recorder target;
    const WindowHandle window = windows.Create(loop, target, "Main");
    Workers workers(clock);
    workers.Start("poster", [&] {
        for (uint32_t m = 1; m <= 3; ++m) {
            EXPECT_TRUE(windows.PostMessage(window, m));
        }
    });
    workers.JoinAll();
    EXPECT_TRUE(target.received.empty());  // nothing runs outside the loop
    EXPECT_EQ(loop.ProcessPending(), 3);
    EXPECT_EQ(target.received, (std::vector<uint32_t>{1, 2, 3}));
    EXPECT_EQ(windows.FindWindow("Main"), window);
    windows.Destroy(window);
    EXPECT_FALSE(windows.PostMessage(window, 4));
}

TEST(WindowManager, SendWaitsForTheHandlerAndReturnsItsResult) {
    VirtualClock clock;
    MessageLoop loop(clock);
    WindowManager windows;
    Recorder target;
    const WindowHandle window = windows.Create(loop, target);
    LResult result = 0;
    Workers workers(clock);
    workers.Start("sender", [&] {
        result = windows.SendMessage(window, 7, 21);
        windows.PostMessage(window, 8);
    });
    EXPECT_TRUE(loop.RunUntil([&] { return target.received.size() == 2; }, Millis(1000)));
    workers.JoinAll();
    EXPECT_EQ(result, 42);
    // On the loop's own thread Send calls the handler directly.
    EXPECT_EQ(windows.SendMessage(window, 9, 1), 2);
}

TEST(WindowManager, SenderIsReleasedWhenTheLoopGoesAway) {
    VirtualClock clock;
    WindowManager windows;
    Recorder target;
    LResult result = -1;
    Workers workers(clock);
    {
        MessageLoop loop(clock);
        const WindowHandle window = windows.Create(loop, target);
        workers.Start("sender", [&] { result = windows.SendMessage(window, 1, 5); });
        clock.SleepFor(Millis(10));  // lets the sender queue its message
        windows.Destroy(window);
    }
    workers.JoinAll();
    EXPECT_EQ(result, 0);
}

TEST(MessageLoop, RunReturnsTheQuitCode) {
    VirtualClock clock;
    MessageLoop loop(clock);
    Workers workers(clock);
    workers.Start("quitter", [&] {
        clock.SleepFor(Millis(100));
        loop.Quit(3);
    });
    EXPECT_EQ(loop.Run(), 3);
    workers.JoinAll();
}

// Once Quit is called nobody drains the queue again: a message waiting in it and one sent
// afterwards are both answered 0 at once (so their senders can be joined), posts are
// refused, and waiting on the quit loop lets clock time pass instead of spinning.
TEST(MessageLoop, AfterQuitSendersAreAnsweredAtOnceAndWaitsDoNotSpin) {
    test::RealTimeLimit limit(Millis(20000), "MessageLoop after Quit");
    VirtualClock clock;
    MessageLoop loop(clock);
    WindowManager windows;
    Recorder target;
    const WindowHandle window = windows.Create(loop, target);
    Workers workers(clock);
    std::atomic<LResult> queued{-1};
    std::atomic<LResult> late{-1};
    workers.Start("queued sender", [&] { queued = windows.SendMessage(window, 1, 5); });
    clock.SleepFor(Millis(10));  // lets the sender queue its message
    loop.Quit(4);
    EXPECT_EQ(loop.Run(), 4);
    workers.Start("late sender", [&] { late = windows.SendMessage(window, 2, 5); });
    workers.JoinAll();
    EXPECT_EQ(queued.load(), 0);
    EXPECT_EQ(late.load(), 0);
    EXPECT_FALSE(windows.PostMessage(window, 3));
    bool cancelled = false;
    EXPECT_FALSE(loop.Post([] {}, [&] { cancelled = true; }));
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(loop.ProcessPending(), 0);
    EXPECT_TRUE(target.received.empty());

    int looks = 0;
    const Millis start = clock.Now();
    EXPECT_FALSE(loop.RunUntil(
        [&] {
            ++looks;
            return false;
        },
        Millis(1000), Millis(10)));
    EXPECT_EQ(clock.Now() - start, Millis(1000));
    EXPECT_LE(looks, 102);
}

}  // namespace
}  // namespace velto::platform
