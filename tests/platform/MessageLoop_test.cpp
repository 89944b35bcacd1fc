#include <gtest/gtest.h>

#include "platform/VirtualClock.h"
#include "platform/WindowManager.h"
#include "platform/Workers.h"

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

}  // namespace
}  // namespace velto::platform
