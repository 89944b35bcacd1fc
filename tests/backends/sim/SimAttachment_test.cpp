#include <gtest/gtest.h>

#include "SimFixture.h"
#include "callapi/AutomationError.h"

namespace velto::skype::sim::test {
namespace {

constexpr int32_t kSuccess = ToInt(AttachmentStatus::Success);
constexpr int32_t kPending = ToInt(AttachmentStatus::PendingAuthorization);
constexpr int32_t kRefused = ToInt(AttachmentStatus::Refused);
constexpr int32_t kNotAvailable = ToInt(AttachmentStatus::NotAvailable);
constexpr int32_t kAvailable = ToInt(AttachmentStatus::Available);

class SimAttachment : public SimFixture {
  protected:
    std::vector<int32_t> Statuses() {
        loop_.ProcessPending();
        return sink_.Ints(EventId::AttachmentStatus);
    }
};

TEST_F(SimAttachment, NotRunningThenSignInThenUserGrants) {
    world_->SetAuthorizationPolicy(AuthorizationPolicy::AskUser);
    skype_->Attach(kAttachProtocol, false);
    skype_->Attach(kAttachProtocol, false);  // still not available: reported once
    EXPECT_EQ(Statuses(), (std::vector<int32_t>{kNotAvailable}));
    EXPECT_THROW(skype_->CurrentUserHandle(), AutomationError);

    world_->SignIn();
    EXPECT_EQ(Statuses(), (std::vector<int32_t>{kNotAvailable, kAvailable}));
    skype_->Attach(kAttachProtocol, false);
    EXPECT_EQ(Statuses().back(), kPending);
    world_->UserGrants();
    EXPECT_EQ(Statuses(), (std::vector<int32_t>{kNotAvailable, kAvailable, kPending, kSuccess}));
    EXPECT_EQ(skype_->CurrentUserHandle(), "me.here");
    EXPECT_EQ(world_->AttachRequests(), 3);

    // Skype exits: one report, however often the program asks again afterwards.
    world_->ExitSkype();
    skype_->Attach(kAttachProtocol, false);
    skype_->Attach(kAttachProtocol, false);
    auto statuses = Statuses();
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), kNotAvailable), 2);
    EXPECT_EQ(statuses.back(), kNotAvailable);

    // The grant is remembered: the next sign-in attaches without asking.
    world_->SignIn();
    skype_->Attach(kAttachProtocol, false);
    EXPECT_EQ(Statuses().back(), kSuccess);
}

TEST_F(SimAttachment, RefusalHoldsUntilTheUserChangesTheirMind) {
    world_->SetAuthorizationPolicy(AuthorizationPolicy::AskUser);
    world_->SignIn();
    skype_->Attach(kAttachProtocol, false);
    world_->UserRefuses();
    EXPECT_EQ(Statuses().back(), kRefused);
    skype_->Attach(kAttachProtocol, false);  // asked again at once: no new event
    size_t count = Statuses().size();
    EXPECT_EQ(skype_->AttachmentStatus(), AttachmentStatus::Refused);
    world_->UserGrants();
    auto statuses = Statuses();
    EXPECT_EQ(statuses.size(), count + 1);
    EXPECT_EQ(statuses.back(), kSuccess);
}

TEST_F(SimAttachment, ForcedReportsAndOtherEventsOnlyWhileAttached) {
    world_->SignIn();
    world_->IncomingCall("alice");  // not attached yet: the program hears nothing of it
    EXPECT_TRUE(sink_.Of(EventId::CallStatus).empty());
    skype_->Attach(kAttachProtocol, false);
    world_->BroadcastAttachmentStatus(AttachmentStatus::NotAvailable);
    world_->BroadcastAttachmentStatus(AttachmentStatus::NotAvailable);
    auto statuses = Statuses();
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), kNotAvailable), 2);
    EXPECT_TRUE(sink_.Of(EventId::CallStatus).empty());

    // A sink that unsubscribes hears nothing more; the other still does.
    RecordingSink second(222);
    skype_->Advise(second);
    world_->BroadcastAttachmentStatus(AttachmentStatus::Success);
    world_->SetUserStatus(UserStatus::Away);
    loop_.ProcessPending();
    EXPECT_EQ(second.Ints(EventId::UserStatus), std::vector<int32_t>{ToInt(UserStatus::Away)});
    skype_->Unadvise(second);
    world_->SetUserStatus(UserStatus::Online);
    loop_.ProcessPending();
    EXPECT_EQ(second.Events().size(), 2u);
    EXPECT_EQ(sink_.Ints(EventId::UserStatus).size(), 2u);
}

TEST_F(SimAttachment, NoComponentMeansNoSkypeObject) {
    world_->SetCreatable(false);
    EXPECT_EQ(world_->CreateSkype(loop_), nullptr);
}

}  // namespace
}  // namespace velto::skype::sim::test
