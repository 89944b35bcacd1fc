#include <gtest/gtest.h>

#include "core/Messages.h"
#include "platform/MessageLoop.h"
#include "platform/Trace.h"
#include "platform/VirtualClock.h"
#include "server/ContactUpdateHandlers.h"
#include "server/UpdatingListThread.h"

namespace velto::server {
namespace {

using platform::Millis;

struct Received {
    uint32_t message;
    platform::WParam wParam;
    platform::LParam lParam;
    Millis at;
};

class RecordingWindow : public platform::MessageTarget {
  public:
    explicit RecordingWindow(platform::Clock& clock) : clock_(clock) {}
    platform::LResult OnMessage(uint32_t message, platform::WParam wParam,
                                platform::LParam lParam) override {
        received.push_back({message, wParam, lParam, clock_.Now()});
        return forward ? forward(message, wParam, lParam) : 0;
    }
    std::vector<Received> received;
    std::function<platform::LResult(uint32_t, platform::WParam, platform::LParam)> forward;

  private:
    platform::Clock& clock_;
};

class ContactUpdatesTest : public ::testing::Test {
  protected:
    ContactUpdatesTest() {
        mainWindow_ = windows_.Create(loop_, main_, "main");
        state_.MainWindowHandle = mainWindow_;
    }
    ~ContactUpdatesTest() override {
        gatherer_.reset();
        handlers_.reset();
        workers_.JoinAll();
        windows_.Destroy(mainWindow_);
    }

    platform::Cookie Contact() { return table_.Register(std::make_shared<int>(0)); }
    bool Known(platform::Cookie cookie) const { return table_.Get<int>(cookie) != nullptr; }
    // Runs the main window's loop until it has received `count` messages, then a while
    // longer to show that nothing else comes.
    void RunMainLoop(size_t count) {
        EXPECT_TRUE(loop_.RunUntil([&] { return main_.received.size() >= count; }, Millis(5000)));
        loop_.RunUntil([] { return false; }, Millis(2000));
    }

    platform::TraceCapture trace_;
    platform::VirtualClock clock_;
    platform::Workers workers_{clock_};
    platform::MessageLoop loop_{clock_};
    platform::WindowManager windows_;
    platform::InterfaceTable table_;
    core::SharedState state_;
    RecordingWindow main_{clock_};
    platform::WindowHandle mainWindow_ = 0;
    std::unique_ptr<UpdatingListThread> gatherer_;
    std::unique_ptr<ContactUpdateHandlers> handlers_;
};

TEST_F(ContactUpdatesTest, SingleChangeBecomesOneContactUpdateAfterTheQuietPeriod) {
    gatherer_ = std::make_unique<UpdatingListThread>(clock_, workers_, windows_, table_, state_);
    const auto contact = Contact();
    const Millis start = clock_.Now();
    gatherer_->Add(contact);
    RunMainLoop(1);
    ASSERT_EQ(main_.received.size(), 1u);
    EXPECT_EQ(main_.received[0].message, core::WM_UPDATEUSERSTATUS);
    EXPECT_EQ(main_.received[0].wParam, contact);
    EXPECT_EQ(main_.received[0].lParam, 1);
    EXPECT_EQ(main_.received[0].at - start, Millis(500));
    EXPECT_TRUE(Known(contact));  // the contact list consumes it
    EXPECT_EQ(gatherer_->PendingCount(), 0u);
}

TEST_F(ContactUpdatesTest, BurstOfTwentyBecomesOneFullRefreshAfterTheLastChange) {
    gatherer_ = std::make_unique<UpdatingListThread>(clock_, workers_, windows_, table_, state_);
    Millis last{0};
    for (int i = 0; i < 20; ++i) {
        last = clock_.Now();
        gatherer_->Add(Contact());
        clock_.SleepFor(Millis(50));
    }
    RunMainLoop(1);
    ASSERT_EQ(main_.received.size(), 1u);
    EXPECT_EQ(main_.received[0].message, core::WM_UPDATELIST);
    EXPECT_EQ(main_.received[0].wParam, 0u);
    EXPECT_EQ(main_.received[0].at - last, Millis(500));
    EXPECT_EQ(table_.size(), 0u);  // the refresh reads every contact afresh
}

TEST_F(ContactUpdatesTest, TwoChangesTogetherOrWithinTheQuietPeriodGiveOneRefresh) {
    gatherer_ = std::make_unique<UpdatingListThread>(clock_, workers_, windows_, table_, state_);
    const Millis start = clock_.Now();
    gatherer_->Add(Contact());
    gatherer_->Add(Contact());
    RunMainLoop(1);
    ASSERT_EQ(main_.received.size(), 1u);
    EXPECT_EQ(main_.received[0].message, core::WM_UPDATELIST);
    EXPECT_EQ(main_.received[0].at - start, Millis(500));

    main_.received.clear();
    const Millis second = clock_.Now();
    gatherer_->Add(Contact());
    clock_.SleepFor(Millis(300));
    gatherer_->Add(Contact());  // starts the quiet period again
    RunMainLoop(1);
    ASSERT_EQ(main_.received.size(), 1u);
    EXPECT_EQ(main_.received[0].message, core::WM_UPDATELIST);
    EXPECT_EQ(main_.received[0].at - second, Millis(800));
}

// Changes that never pause still reach the list: a full refresh at the cap, then the next.
TEST_F(ContactUpdatesTest, EndlessChangesGiveARefreshAtEachCap) {
    gatherer_ = std::make_unique<UpdatingListThread>(clock_, workers_, windows_, table_, state_);
    const Millis start = clock_.Now();
    workers_.Start("changes", [this] {
        for (int i = 0; i < 70; ++i) {
            gatherer_->Add(Contact());
            clock_.SleepFor(Millis(100));
        }
    });
    EXPECT_TRUE(loop_.RunUntil([&] { return main_.received.size() >= 3; }, Millis(20000)));
    loop_.RunUntil([] { return false; }, Millis(5000));
    ASSERT_EQ(main_.received.size(), 3u);
    EXPECT_EQ(main_.received[0].message, core::WM_UPDATELIST);
    EXPECT_EQ(main_.received[0].at - start, UpdatingListThread::kBurstCap);
    EXPECT_EQ(main_.received[1].message, core::WM_UPDATELIST);
    EXPECT_LE(main_.received[1].at - main_.received[0].at,
              UpdatingListThread::kBurstCap + Millis(100));
    // The last burst ends with the changes: its quiet period after the last one.
    EXPECT_EQ(main_.received[2].at - start, Millis(6900 + 500));
    EXPECT_EQ(table_.size(), 0u);
}

TEST_F(ContactUpdatesTest, MainWindowGathersRawNotificationsAndForwardsGatheredOnes) {
    RecordingWindow list(clock_);
    const auto listWindow = windows_.Create(loop_, list, "list");
    int rebuilds = 0;
    platform::WindowHandle listHandle = listWindow;
    handlers_ = std::make_unique<ContactUpdateHandlers>(
        clock_, workers_, windows_, table_, state_,
        ContactUpdateHandlers::ContactList{[&] { return listHandle; }, [&] { ++rebuilds; }});
    main_.forward = [&](uint32_t message, platform::WParam w, platform::LParam l) {
        return message == core::WM_UPDATELIST ? handlers_->OnUpdateList(w, l)
                                              : handlers_->OnUpdateUserStatus(w, l);
    };
    EXPECT_EQ(handlers_->Gatherer(), nullptr);
    const auto contact = Contact();
    windows_.PostMessage(mainWindow_, core::WM_UPDATEUSERSTATUS, contact, 0);
    RunMainLoop(2);
    EXPECT_NE(handlers_->Gatherer(), nullptr);
    ASSERT_EQ(list.received.size(), 1u);
    EXPECT_EQ(list.received[0].message, core::WM_UPDATEUSERSTATUS);
    EXPECT_EQ(list.received[0].wParam, contact);
    EXPECT_EQ(list.received[0].lParam, 1);
    EXPECT_EQ(trace_.Count("really do update status\n"), 1);

    windows_.PostMessage(mainWindow_, core::WM_UPDATELIST, 1, 1);
    RunMainLoop(3);
    EXPECT_EQ(rebuilds, 1);
    EXPECT_TRUE(trace_.Contains("WM_UPDATELIST!!!!!!!!!\n"));

    // No contact list window: nobody would consume the cookie, so it is revoked.
    listHandle = 0;
    const auto orphan = Contact();
    handlers_->OnUpdateUserStatus(orphan, 1);
    EXPECT_FALSE(Known(orphan));
    windows_.Destroy(listWindow);
}

}  // namespace
}  // namespace velto::server
