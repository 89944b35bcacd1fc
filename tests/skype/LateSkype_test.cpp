// The whole program over a backend that arrives after the start (a module loaded off the
// main thread): the stand-in Skype object carries the program's sinks, attach request and
// table entry over to the real one.
#include <optional>
#include <thread>

#include "callapi/AutomationError.h"
#include "callapi/LateSkype.h"
#include "skype/SkypeFixture.h"

namespace velto::skype::test {
namespace {

// Hands out stand-ins; the test supplies the backend behind them when it chooses.
class LateFactory final : public SkypeFactory {
  public:
    std::shared_ptr<Skype> CreateSkype(platform::MessageLoop& loop) override {
        auto skype = std::make_shared<LateSkype>(loop);
        supplier_.emplace(skype->supplier());
        return skype;
    }
    // From another thread, as a loading worker does.
    void SupplyFromWorker(SkypeFactory* backend) {
        std::thread([this, backend] { supplier_->Supply(backend); }).join();
    }

  private:
    std::optional<LateSkype::Supplier> supplier_;
};

class LateSkypeTest : public SkypeTest {
  protected:
    LateSkypeTest() { factory_ = &late_; }
    // What another thread sees through the program's entry in the interface table.
    template <typename F>
    auto OnOtherThread(F&& use) {
        decltype(use(std::declval<Skype&>())) result{};
        std::thread([&] {
            auto skype = app_->table().Get<Skype>(app_->state().SkypeCookie);
            ASSERT_NE(skype, nullptr);
            result = use(*skype);
        }).join();
        return result;
    }
    LateFactory late_;
};

TEST_F(LateSkypeTest, TheProgramStartsAtOnceAndAttachesWhenTheBackendArrives) {
    world_->AddContact({"alice", "Alice A", "Alice", OnlineStatus::Online, false});
    world_->SignIn();
    StartApp();
    RunFor(2000);
    EXPECT_FALSE(app_->state().SkypeAttached);
    EXPECT_EQ(trace_.Count("Skype object cannot be created"), 0);
    // Other threads find the entry; it is not attached yet.
    EXPECT_EQ(OnOtherThread([](Skype& skype) { return skype.AttachmentStatus(); }),
              AttachmentStatus::Unknown);
    EXPECT_EQ(OnOtherThread([](Skype& skype) {
                  try {
                      skype.CurrentUserHandle();
                  } catch (const AutomationError& error) {
                      return error.code();
                  }
                  return kFail;
              }),
              kNotAttached);

    late_.SupplyFromWorker(world_.get());
    ASSERT_TRUE(RunUntil([this] { return Received(core::WM_UPDATELIST) == 1; }));
    EXPECT_TRUE(app_->state().SkypeAttached);
    EXPECT_EQ(trace_.Count("API connected\n"), 1);
    EXPECT_EQ(OnOtherThread([](Skype& skype) { return skype.CurrentUserHandle(); }), "me.here");

    // A call reaches its handler, which finds the call through the table.
    const int32_t id = world_->IncomingCall("alice");
    ASSERT_TRUE(RunUntil([this] { return HandlerCookies().size() == 1; }));
    EXPECT_EQ(app_->table().Get<Call>(HandlerCookies()[0])->Id(), id);
}

TEST_F(LateSkypeTest, NoBackendBehindItLeavesSkypeNotAvailable) {
    StartApp();
    late_.SupplyFromWorker(nullptr);
    ASSERT_TRUE(RunUntil([this] { return trace_.Contains("API not available\n"); }));
    RunFor(2000);
    EXPECT_TRUE(app_->state().SkypeNotAvailable);
    EXPECT_FALSE(app_->state().SkypeAttached);
    EXPECT_EQ(trace_.Count("Skype object: no call backend behind it: not available\n"), 1);
    EXPECT_EQ(OnOtherThread([](Skype& skype) { return skype.AttachmentStatus(); }),
              AttachmentStatus::Unknown);
}

TEST_F(LateSkypeTest, ABackendArrivingAfterTheProgramEndedIsLeftAlone) {
    world_->SignIn();
    StartApp();
    app_.reset();
    late_.SupplyFromWorker(world_.get());
    EXPECT_EQ(world_->AttachRequests(), 0);
}

}  // namespace
}  // namespace velto::skype::test
