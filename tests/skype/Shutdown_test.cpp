#include <atomic>

#include "skype/SkypeFixture.h"
#include "support/RealTimeLimit.h"

namespace velto::skype::test {
namespace {

using platform::Millis;

// What the stalling client shares between its proxies.
struct Stall {
    platform::Clock& clock;
    Millis length;
    std::atomic<bool> entered{false};
    std::atomic<bool> left{false};
};

// The simulated client, except that reading the contact list takes `length` of clock time:
// a Skype call that outlasts the shut-down's wait for the stabilisers.
class StallingSkype final : public Skype {
  public:
    StallingSkype(std::shared_ptr<Skype> inner, Stall& stall)
        : inner_(std::move(inner)), stall_(stall) {}

    void Attach(int32_t protocol, bool wait) override { inner_->Attach(protocol, wait); }
    skype::AttachmentStatus AttachmentStatus() override { return inner_->AttachmentStatus(); }
    std::string CurrentUserHandle() override { return inner_->CurrentUserHandle(); }
    std::shared_ptr<User> CurrentUser() override { return inner_->CurrentUser(); }
    std::string Version() override { return inner_->Version(); }
    std::shared_ptr<UserCollection> Friends() override {
        stall_.entered = true;
        stall_.clock.SleepFor(stall_.length);
        stall_.left = true;
        return inner_->Friends();
    }
    std::shared_ptr<Command> CreateCommand() override { return inner_->CreateCommand(); }
    void SendCommand(const std::shared_ptr<Command>& command) override {
        inner_->SendCommand(command);
    }
    std::shared_ptr<skype::Application> Application(const std::string& name) override {
        return inner_->Application(name);
    }
    void SendMessage(const std::string& handle, const std::string& text) override {
        inner_->SendMessage(handle, text);
    }
    bool Advise(EventSink& sink) override { return inner_->Advise(sink); }
    void Unadvise(EventSink& sink) override { inner_->Unadvise(sink); }
    platform::Cookie RegisterIn(platform::InterfaceTable& table) override {
        innerCookie_ = inner_->RegisterIn(table);
        return table.RegisterFactory<Skype>(
            [&table, inner = innerCookie_, &stall = stall_]() -> std::shared_ptr<Skype> {
                return std::make_shared<StallingSkype>(table.Get<Skype>(inner), stall);
            });
    }

  private:
    std::shared_ptr<Skype> inner_;
    Stall& stall_;
    platform::Cookie innerCookie_ = 0;
};

class StallingFactory final : public SkypeFactory {
  public:
    StallingFactory(SkypeFactory& inner, Stall& stall) : inner_(inner), stall_(stall) {}
    std::shared_ptr<Skype> CreateSkype(platform::MessageLoop& loop) override {
        return std::make_shared<StallingSkype>(inner_.CreateSkype(loop), stall_);
    }

  private:
    SkypeFactory& inner_;
    Stall& stall_;
};

// A stabiliser stuck in a Skype call longer than shut-down waits for it: the program
// gives up waiting, goes on with its shut-down, and the stabiliser, once the call
// returns, still finds everything it uses (run under AddressSanitizer to see it).
TEST_F(SkypeTest, AStabiliserStuckInASkypeCallOutlivesTheLinkSafely) {
    velto::test::RealTimeLimit limit(Millis(30000), "stuck stabiliser");
    Stall stall{clock_, Millis(20000)};
    StallingFactory factory(*world_, stall);
    auto options = Options();
    options.skypeFactory = &factory;
    world_->SignIn();
    app_ = std::make_unique<app::Application>(std::move(options));
    app_->boxes().set_quiet(true);
    ASSERT_TRUE(app_->Start());
    ASSERT_TRUE(RunUntil([&] { return stall.entered.load(); }));
    const Millis stuck = clock_.Now();

    app_->Quit();
    app_->Run();
    app_.reset();
    EXPECT_TRUE(stall.left);
    EXPECT_GE(clock_.Now() - stuck, Millis(15000));  // well past the 5 s shut-down waits
    EXPECT_TRUE(trace_.Contains("Application: a stabiliser did not end in time\n"));
}

}  // namespace
}  // namespace velto::skype::test
