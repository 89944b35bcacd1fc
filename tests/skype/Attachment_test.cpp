#include <atomic>
#include <filesystem>
#include <memory>

#include "core/ProcessExit.h"
#include "i18n/LanguageTable.h"
#include "platform/Text.h"
#include "skype/AttachmentStabiliser.h"
#include "skype/SkypeFixture.h"
#include "skype/VersionCheck.h"

namespace velto::skype::test {
namespace {

using sim::AuthorizationPolicy;

TEST_F(SkypeTest, StartingBeforeSkypeAttachesOnceTheUserSignsInAndGrants) {
    world_->SetAuthorizationPolicy(AuthorizationPolicy::AskUser);
    StartApp();
    RunFor(500);
    EXPECT_TRUE(app_->state().SkypeNotAvailable);
    EXPECT_FALSE(app_->state().SkypeAttached);

    world_->StartSkype();
    world_->SignIn();
    ASSERT_TRUE(RunUntil([this] { return app_->state().AuthorizationPending.load(); }));
    EXPECT_FALSE(app_->state().SkypeNotAvailable);
    // Nothing of the grant has run while the user is still asked.
    EXPECT_EQ(trace_.Count("Start personal setting loading\n"), 0);

    world_->UserGrants();
    ASSERT_TRUE(RunUntil([this] { return Received(core::WM_UPDATELIST) == 1; }));
    RunFor(3000);
    const core::SharedState& state = app_->state();
    EXPECT_TRUE(state.SkypeAttached);
    EXPECT_TRUE(state.AuthorizedOnce);
    EXPECT_FALSE(state.AuthorizationPending);
    EXPECT_EQ(state.MyHandle.Get(), "me.here");
    EXPECT_EQ(trace_.Count("API connected\n"), 1);
    EXPECT_EQ(trace_.Count("Start personal setting loading\n"), 1);
    EXPECT_EQ(trace_.Count("Stabled!!!!!!!!!!!!!!\n"), 1);
    EXPECT_EQ(Received(core::WM_UPDATELIST), 1);
    EXPECT_EQ(Received(core::WM_CONTACTS_STABLE), 1);
    EXPECT_GE(Received(core::WM_REFRESH_TEXTS), 2);
    EXPECT_TRUE(
        std::filesystem::is_directory(std::filesystem::path(state.UserDataDir.Get()) / "me.here"));
    uint32_t authorized = 0;
    EXPECT_EQ(app_->registry().QueryDword(platform::RegRoot::CurrentUser, core::kVeltoKey,
                                          "AuthorizedOnce", authorized),
              platform::RegError::Ok);
    EXPECT_EQ(authorized, core::kOn);
    // The application channel starts empty and the server link exists.
    EXPECT_TRUE(world_->HasApplication("VELTo"));
    EXPECT_NE(app_->serverLink().IfCreated(), nullptr);
    EXPECT_EQ(app_->skypeLink().RunningStabilisers(), 0);
}

TEST_F(SkypeTest, RefusalAsksAgainAndALaterGrantRunsTheSequence) {
    world_->SetAuthorizationPolicy(AuthorizationPolicy::Refuse);
    world_->SignIn();
    StartApp();
    ASSERT_TRUE(RunUntil([this] { return app_->state().AuthorizationRefused.load(); }));
    const int requests = world_->AttachRequests();
    EXPECT_GE(requests, 2);  // the first request, and the one after the refusal
    EXPECT_FALSE(app_->state().ContactListFilled);

    world_->UserGrants();
    ASSERT_TRUE(RunUntil([this] { return Received(core::WM_UPDATELIST) == 1; }));
    EXPECT_FALSE(app_->state().AuthorizationRefused);
    EXPECT_EQ(trace_.Count("Start personal setting loading\n"), 1);
}

TEST_F(SkypeTest, SkypeExitingSavesOnceAndTellsTheWindowOnce) {
    StartAttached();
    app_->state().ContactListFilled = true;
    const int savesBefore = saves_;

    world_->ExitSkype();
    ASSERT_TRUE(RunUntil([this] { return Received(core::WM_SKYPE_LOST) == 1; }));
    world_->BroadcastAttachmentStatus(AttachmentStatus::NotAvailable);
    world_->BroadcastAttachmentStatus(AttachmentStatus::NotAvailable);
    RunFor(2000);

    EXPECT_EQ(saves_ - savesBefore, 1);
    EXPECT_EQ(Received(core::WM_SKYPE_LOST), 1);
    EXPECT_TRUE(app_->state().SkypeNotAvailable);
    EXPECT_FALSE(app_->state().SkypeAttached);
    EXPECT_FALSE(app_->state().ContactListFilled);
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(app_->state().UserDataDir.Get()) /
                                        "me.here" / "Setting"));

    // Back again: the grant sequence runs a second time.
    world_->SignIn();
    ASSERT_TRUE(RunUntil([this] { return Received(core::WM_UPDATELIST) == 2; }));
    EXPECT_EQ(trace_.Count("Start personal setting loading\n"), 2);
}

// Contacts that come, go or change their names postpone the list until it stayed the same
// for a second.
TEST_F(SkypeTest, AChangingContactListPostponesTheListUntilStillForASecond) {
    world_->AddContact({"alice", "Alice A", "Alice", OnlineStatus::Online, false});
    world_->AddContact({"bob", "Bob B", "Bob", OnlineStatus::Offline, false});
    world_->SignIn();
    std::atomic<int64_t> lastChange{-1};
    StartApp();
    const platform::Millis start = clock_.Now();
    app_->workers().Start("changer", [this, &lastChange] {
        for (int i = 0; i < 5; ++i) {
            clock_.SleepFor(platform::Millis(300));
            if (i % 2 == 0) {
                world_->AddContact(
                    {"carol" + std::to_string(i), "Carol", "Carol", OnlineStatus::Online, false});
            } else {
                world_->AddContact(
                    {"bob", "Bob B", "Bobby" + std::to_string(i), OnlineStatus::Offline, false});
            }
            lastChange = clock_.Now().count();
        }
    });
    ASSERT_TRUE(RunUntil([this] { return Received(core::WM_UPDATELIST) == 1; }));
    const platform::Millis shown = ReceivedAt(core::WM_UPDATELIST);
    EXPECT_EQ(lastChange, (start + platform::Millis(1500)).count());
    EXPECT_GE(shown.count(), lastChange + 1000);
    EXPECT_LE(shown.count(), lastChange + 1000 + 100);
}

// Someone in a large list always changes status; that must not keep the list from showing.
TEST_F(SkypeTest, StatusChangesDoNotHoldTheListBack) {
    for (int i = 0; i < 50; ++i) {
        world_->AddContact({"c" + std::to_string(i), "C", "C", OnlineStatus::Online, false});
    }
    world_->SignIn();
    StartApp();
    const platform::Millis start = clock_.Now();
    // Shared: the worker is joined only when the fixture ends, after this body's locals.
    auto stop = std::make_shared<std::atomic<bool>>(false);
    app_->workers().Start("churn", [this, stop] {
        for (int i = 0; i < 100 && !*stop; ++i) {
            clock_.SleepFor(platform::Millis(100));
            world_->SetOnlineStatus("c" + std::to_string(i % 50),
                                    i % 3 == 0 ? OnlineStatus::Away : OnlineStatus::Online);
        }
    });
    ASSERT_TRUE(RunUntil([this] { return Received(core::WM_UPDATELIST) == 1; }));
    *stop = true;
    EXPECT_EQ(ReceivedAt(core::WM_UPDATELIST) - start, platform::Millis(1000));
}

// A list whose names never stop changing is shown at the cap, once.
TEST_F(SkypeTest, AListThatNeverSettlesIsShownAtTheCap) {
    world_->AddContact({"alice", "Alice A", "Alice", OnlineStatus::Online, false});
    world_->SignIn();
    StartApp();
    const platform::Millis start = clock_.Now();
    // Shared: the worker is joined only when the fixture ends, after this body's locals.
    auto stop = std::make_shared<std::atomic<bool>>(false);
    app_->workers().Start("renamer", [this, stop] {
        for (int i = 0; !*stop && i < 400; ++i) {
            clock_.SleepFor(platform::Millis(50));
            world_->AddContact(
                {"alice", "Alice A", "Alice " + std::to_string(i), OnlineStatus::Online, false});
        }
    });
    ASSERT_TRUE(RunUntil([this] { return Received(core::WM_UPDATELIST) == 1; }));
    const platform::Millis shown = ReceivedAt(core::WM_UPDATELIST) - start;
    EXPECT_GE(shown, kContactsSettleCap);
    EXPECT_LE(shown, kContactsSettleCap + kContactPoll);
    RunFor(5000);
    *stop = true;
    EXPECT_EQ(Received(core::WM_UPDATELIST), 1);
    EXPECT_TRUE(trace_.Contains("Stabiliser: the contact list still changes; shown as it is\n"));
}

TEST_F(SkypeTest, AStillContactListIsShownAfterOneSecond) {
    world_->AddContact({"alice", "Alice A", "Alice", OnlineStatus::Online, false});
    world_->SignIn();
    StartApp();
    const platform::Millis start = clock_.Now();
    ASSERT_TRUE(RunUntil([this] { return Received(core::WM_UPDATELIST) == 1; }));
    EXPECT_EQ(ReceivedAt(core::WM_UPDATELIST) - start, platform::Millis(1000));
}

TEST_F(SkypeTest, TooOldSkypeShowsTheMessageAndEndsTheProcess) {
    world_->SetVersion("2.6.0.151");
    world_->SignIn();
    StartApp();
    try {
        RunFor(5000);
        FAIL() << "the process did not end";
    } catch (const core::ProcessExit& exit) {
        EXPECT_EQ(exit.code(), 0);
    }
    const auto shown = app_->boxes().shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Velto Skype Plugin");
    EXPECT_EQ(shown[0].text, platform::Utf16ToUtf8(i18n::GetText(i18n::TXT_UPDATE_SKYPE, 3)));
    EXPECT_FALSE(shown[0].text.empty());
    // Nothing after the check ran.
    EXPECT_EQ(trace_.Count("Start personal setting loading\n"), 0);
}

TEST(VersionCheck, MajorVersionBelowThreeIsTooOld) {
    for (const char* old : {"0.9", "1.4.0.84", "2.6.0.151", "2"}) {
        EXPECT_TRUE(IsSkypeTooOld(old)) << old;
    }
    // Two-digit majors begin with 1 but are new; a text without a number tells nothing.
    for (const char* fine : {"3.0", "3.8.0.180", "10.2.0.1", "12", "", "beta"}) {
        EXPECT_FALSE(IsSkypeTooOld(fine)) << fine;
    }
}

}  // namespace
}  // namespace velto::skype::test
