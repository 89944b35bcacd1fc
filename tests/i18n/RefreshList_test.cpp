#include "i18n/RefreshList.h"

#include <gtest/gtest.h>

#include <tuple>

#include "i18n/Languages.h"
#include "platform/VirtualClock.h"
#include "platform/Workers.h"

namespace velto::i18n {
namespace {

using platform::WindowHandle;

// Every message that any of the windows received, in arrival order.
struct Received {
    std::vector<std::tuple<int, uint32_t, platform::WParam, platform::LParam>> messages;
};

class Window : public platform::MessageTarget {
  public:
    Window(Received& log, int name) : log_(log), name_(name) {}
    platform::LResult OnMessage(uint32_t message, platform::WParam wParam,
                                platform::LParam lParam) override {
        log_.messages.emplace_back(name_, message, wParam, lParam);
        return 0;
    }

  private:
    Received& log_;
    int name_;
};

class RefreshListTest : public ::testing::Test {
  protected:
    platform::VirtualClock clock;
    platform::MessageLoop loop{clock};
    platform::WindowManager windows;
    Received log;
    Window a{log, 1}, b{log, 2}, c{log, 3};
    WindowHandle ha = windows.Create(loop, a);
    WindowHandle hb = windows.Create(loop, b);
    WindowHandle hc = windows.Create(loop, c);
    RefreshList list{windows};
};

TEST_F(RefreshListTest, KeepsJoiningOrderWithoutDuplicates) {
    list.RegisterForRefresh(hc);
    list.RegisterForRefresh(ha);
    list.RegisterForRefresh(hc);
    list.RegisterForRefresh(0);  // no window
    list.RegisterForRefresh(hb);
    EXPECT_EQ(list.Windows(), (std::vector<WindowHandle>{hc, ha, hb}));
    list.UnregisterFromRefresh(ha);
    list.UnregisterFromRefresh(ha);  // gone already: nothing happens
    list.UnregisterFromRefresh(999);
    EXPECT_EQ(list.Windows(), (std::vector<WindowHandle>{hc, hb}));
    list.RegisterForRefresh(ha);  // rejoining puts it at the end
    EXPECT_EQ(list.Windows(), (std::vector<WindowHandle>{hc, hb, ha}));
}

TEST_F(RefreshListTest, BroadcastPostsTheMessageToEveryWindowInListOrder) {
    list.RegisterForRefresh(hb);
    list.RegisterForRefresh(ha);
    list.BroadcastRefresh(kGerman);
    EXPECT_TRUE(log.messages.empty());  // posted, not sent: nothing ran yet
    EXPECT_EQ(loop.ProcessPending(), 2);
    using M = std::tuple<int, uint32_t, platform::WParam, platform::LParam>;
    EXPECT_EQ(log.messages, (std::vector<M>{{2, 0x8400, 2, 0}, {1, 0x8400, 2, 0}}));

    // A window that vanished without leaving the list misses the message; the others
    // still get theirs, and "no language" comes back as -1.
    log.messages.clear();
    list.RegisterForRefresh(hc);
    windows.Destroy(ha);
    list.BroadcastRefresh(kNoLanguage);
    loop.ProcessPending();
    ASSERT_EQ(log.messages.size(), 2u);
    EXPECT_EQ(std::get<0>(log.messages[0]), 2);
    EXPECT_EQ(std::get<0>(log.messages[1]), 3);
    EXPECT_EQ(static_cast<int32_t>(static_cast<intptr_t>(std::get<2>(log.messages[1]))), -1);
}

TEST_F(RefreshListTest, WindowsMayJoinAndLeaveFromOtherThreadsDuringABroadcast) {
    list.RegisterForRefresh(ha);
    platform::Workers workers(clock);
    for (WindowHandle window : {hb, hc}) {
        workers.Start("joiner", [this, window] {
            for (int i = 0; i < 200; ++i) {
                list.RegisterForRefresh(window);
                list.BroadcastRefresh(i % kLanguageCount);
                list.UnregisterFromRefresh(window);
            }
        });
    }
    workers.JoinAll();
    EXPECT_EQ(list.Windows(), (std::vector<WindowHandle>{ha}));
    loop.ProcessPending();
    size_t toA = 0;
    for (const auto& message : log.messages) {
        toA += std::get<0>(message) == 1;
    }
    EXPECT_EQ(toA, 400u);  // window A was listed throughout
}

}  // namespace
}  // namespace velto::i18n
