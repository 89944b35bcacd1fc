#include "skype/SkypeFixture.h"

namespace velto::skype::test {
namespace {

// What a finished call handler gives back.
void EndHandler(app::Application& app, platform::Cookie cookie) {
    auto call = app.table().Get<Call>(cookie);
    ASSERT_NE(call, nullptr);
    app.state().ActiveCallIds.Erase(call->Id());
    app.table().Revoke(cookie);
}

TEST_F(SkypeTest, EachCallGetsExactlyOneHandler) {
    world_->AddContact({"alice", "Alice A", "Alice", OnlineStatus::Online, false});
    world_->AddContact({"bob", "Bob B", "Bob", OnlineStatus::Online, false});
    StartAttached();

    const int32_t first = world_->IncomingCall("alice");
    for (CallStatus status : {CallStatus::InProgress, CallStatus::OnHold, CallStatus::InProgress}) {
        world_->SetCallStatus(first, status);
    }
    RunFor(500);
    ASSERT_EQ(HandlerCookies().size(), 1u);
    const platform::Cookie cookie = HandlerCookies()[0];
    auto call = app_->table().Get<Call>(cookie);
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->Id(), first);
    EXPECT_TRUE(app_->state().ActiveCallIds.Contains(first));
    call.reset();

    world_->SetCallStatus(first, CallStatus::Finished);
    EndHandler(*app_, cookie);
    RunFor(500);
    EXPECT_EQ(HandlerCookies().size(), 1u);

    const int32_t second = world_->IncomingCall("bob");
    ASSERT_NE(second, first);
    RunFor(500);
    ASSERT_EQ(HandlerCookies().size(), 2u);
    EXPECT_EQ(app_->table().Get<Call>(HandlerCookies()[1])->Id(), second);
    EndHandler(*app_, HandlerCookies()[1]);
}

TEST_F(SkypeTest, CallsFromTheTelephoneNetworkAndEndedCallsGetNoHandler) {
    StartAttached();
    sim::CallOptions fromPhone;
    fromPhone.type = CallType::IncomingPstn;
    world_->IncomingCall("+4930123456", fromPhone);
    RunFor(500);
    EXPECT_TRUE(HandlerCookies().empty());
    EXPECT_EQ(trace_.Count("Skype in, don't pick it up\n"), 1);
    EXPECT_EQ(app_->state().ActiveCallIds.size(), 0u);

    // A call first seen when it is already over gets none either.
    world_->AddContact({"carol", "Carol C", "Carol", OnlineStatus::Online, false});
    const int32_t missed = world_->IncomingCall("carol");
    world_->CallerHangsUp(missed);
    world_->SetCallStatus(missed, CallStatus::Finished);
    RunFor(500);
    // The ringing status gave it one handler; the end statuses added none.
    EXPECT_EQ(HandlerCookies().size(), 1u);
    EndHandler(*app_, HandlerCookies()[0]);
}

TEST_F(SkypeTest, WithoutACallHandlerTheCallIsGivenBack) {
    StartAttached();
    app_.reset();
    auto options = Options();
    options.startCallHandler = {};
    options.handleCalls = false;
    world_->AddContact({"alice", "Alice A", "Alice", OnlineStatus::Online, false});
    app_ = std::make_unique<app::Application>(std::move(options));
    app_->boxes().set_quiet(true);
    ASSERT_TRUE(app_->Start());
    ASSERT_TRUE(RunUntil([this] { return app_->state().SkypeAttached.load(); }));
    const size_t entries = app_->table().size();
    world_->IncomingCall("alice");
    RunFor(500);
    EXPECT_EQ(app_->state().ActiveCallIds.size(), 0u);
    EXPECT_EQ(app_->table().size(), entries);
}

TEST_F(SkypeTest, OnlineStatusChangesReachTheMainWindowAsCookies) {
    world_->AddContact({"alice", "Alice A", "Alice", OnlineStatus::Offline, false});
    StartAttached();
    trace_.Clear();
    world_->SetOnlineStatus("alice", OnlineStatus::Online);
    RunFor(2000);
    EXPECT_EQ(trace_.Count("Online Status Changed...Post WM_UPDATEUSERSTATUS\n"), 1);
    // The gathering thread took the notification on and gave it back to the window.
    EXPECT_NE(app_->contactUpdates().Gatherer(), nullptr);
}

}  // namespace
}  // namespace velto::skype::test
