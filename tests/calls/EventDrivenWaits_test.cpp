#include <gtest/gtest.h>

#include "CallWorld.h"

// The call's workers sleep until the call changes, the user decides, or a moment they know
// of comes (the tone's end, a time limit): they never poll on the side.
namespace velto::calls::test {
namespace {

using skype::CallStatus;
using skype::VideoStatus;

// A voice call that rings half a minute with a 1-s tone: the handler asks the call only
// when it reports the tone's end (and at a look to be safe every few seconds), and a
// hang-up reaches it in the same millisecond.
TEST(EventDrivenWaits, ARingingCallIsAskedOnlyOnItsReportsAndHearsAHangUpAtOnce) {
    CallWorld w;
    w.settings.SetVoiceMailOn(false);
    const int32_t id = w.Ring("alice");
    w.At(30003ms);  // off every re-arm and every multiple of a poll period
    const auto ringing = w.Info(id);
    w.world->CallerHangsUp(id);
    w.Finish();

    // One look per tone, at its reported end, with one status read.
    EXPECT_LE(ringing.inputReads, 31 + 30 / 5);
    EXPECT_LE(ringing.statusReads, 31 + 30 / 5);
    EXPECT_GE(ringing.inputReads, 29);  // the tone was kept playing all along
    w.ExpectNoToneGap(id);
    const auto stories = w.panels.Stories();
    ASSERT_EQ(stories.size(), 1u);
    EXPECT_EQ(stories[0].hiddenAt, Millis(30003));
    EXPECT_EQ(w.missed.size(), 1u);
}

// A tone the call cannot play is set again once a second, not in a busy loop, and the
// call rings and ends as any other.
TEST(EventDrivenWaits, AToneTheCallCannotPlayIsTriedAgainNowAndThen) {
    CallWorld w;
    w.settings.SetVoiceMailOn(false);
    std::filesystem::remove(w.install / "default.wav");
    const int32_t id = w.Ring("alice");
    w.At(30003ms);
    w.world->CallerHangsUp(id);
    w.Finish();
    const auto info = w.Info(id);
    EXPECT_TRUE(info.heard.empty());
    EXPECT_GE(info.silentPlays, 29);
    EXPECT_LE(info.silentPlays, 32);
    ASSERT_EQ(w.panels.Stories().size(), 1u);
    EXPECT_EQ(w.panels.Stories()[0].hiddenAt, Millis(30003));
    EXPECT_EQ(w.missed.size(), 1u);
}

// The panel's decision wakes the handler between two re-arms.
TEST(EventDrivenWaits, TheDecisionIsActedOnInTheMillisecondItIsMade) {
    CallWorld w;
    w.panels.AddRule({0, "alice", ScriptedAnsweringPanels::Action::Decline, {}, 7777ms});
    const int32_t id = w.Ring("alice");
    w.Finish();
    const auto info = w.Info(id);
    EXPECT_EQ(info.status, CallStatus::Finished);
    EXPECT_EQ(info.finishes, 1);
    ASSERT_FALSE(info.heard.empty());
    EXPECT_EQ(info.heard.back().end, Millis(7777));
}

// A press scripted while the panel already shows wakes the handler, which acts on it in
// the same millisecond; a rule for another caller leaves the panel alone.
TEST(EventDrivenWaits, APressScriptedAfterThePanelShowsIsActedOnAtOnce) {
    CallWorld w;
    w.settings.SetVoiceMailOn(false);
    const int32_t id = w.Ring("alice");
    w.At(6003ms);
    ASSERT_TRUE(w.panels.Stories().at(0).shownAt.has_value());
    w.panels.AddRule({0, "bob", ScriptedAnsweringPanels::Action::Take, {}, 6003ms});
    w.At(6500ms);
    EXPECT_EQ(w.panels.Stories().at(0).decision, AnsweringPanel::kUndecided);
    w.panels.AddRule({id, {}, ScriptedAnsweringPanels::Action::Decline, {}, 6500ms});
    w.Finish();
    const auto info = w.Info(id);
    EXPECT_EQ(info.status, CallStatus::Finished);
    EXPECT_EQ(info.finishes, 1);
    ASSERT_FALSE(info.heard.empty());
    EXPECT_EQ(info.heard.back().end, Millis(6500));
    const auto story = w.panels.Stories().at(0);
    EXPECT_EQ(story.decision, AnsweringPanel::kDecline);
    EXPECT_EQ(story.pressedAt, Millis(6500));
    EXPECT_EQ(story.hiddenAt, Millis(6500));
}

// A voice call gets no guards; video the caller adds while the call rings is stopped in
// the same millisecond, and comes back when the user takes the call.
TEST(EventDrivenWaits, VideoAddedWhileRingingIsStoppedAtOnceAndResumedOnTake) {
    CallWorld w;
    w.panels.AddRule({0, "bob", ScriptedAnsweringPanels::Action::Take, 10s, {}});
    const int32_t id = w.Ring("bob");
    w.At(7003ms);
    EXPECT_EQ(w.Info(id).videoSendStops, 0);
    w.world->SetVideoStatus(id, VideoStatus::Running, VideoStatus::Starting);
    w.At(7004ms);
    auto info = w.Info(id);
    EXPECT_EQ(info.videoSend, VideoStatus::Available);
    EXPECT_EQ(info.videoReceive, VideoStatus::Available);
    EXPECT_EQ(info.videoSendStops, 1);
    EXPECT_EQ(info.videoReceiveStops, 1);

    w.At(20s);
    info = w.Info(id);
    EXPECT_EQ(info.status, CallStatus::InProgress);
    EXPECT_EQ(info.videoSend, VideoStatus::Running);
    EXPECT_EQ(info.videoSendStarts, 1);
    EXPECT_EQ(info.videoReceiveStarts, 1);
    const int readsAfterTake = info.statusReads;
    // A taken call is followed through its events only: ten minutes of talk cost a few
    // safety re-reads, not a read every 100 ms.
    w.At(620s);
    EXPECT_LE(w.Info(id).statusReads - readsAfterTake, 600 / 5 + 2);
    w.world->CallerHangsUp(id);
    w.Finish();
    EXPECT_EQ(w.shared.ActiveCallIds.size(), 0u);
}

// The answering machine: the tone follows the greeting, and the recording after it, with
// no gap; a hang-up while the message is recorded ends it in that millisecond.
TEST(EventDrivenWaits, TheMachineFollowsItsSoundsWithoutGapsAndAHangUpAtOnce) {
    CallWorld w;
    const int32_t id = w.Ring("alice");
    w.At(50007ms);
    const auto recording = w.Info(id);
    ASSERT_EQ(recording.recordings.size(), 1u);
    w.world->CallerHangsUp(id);
    w.Finish();
    const auto info = w.Info(id);
    ASSERT_GE(info.heard.size(), 3u);
    const auto& greeting = info.heard[info.heard.size() - 2];
    const auto& dingDong = info.heard.back();
    EXPECT_NE(greeting.file.find("DefaultAM_Eng"), std::string::npos);
    EXPECT_NE(dingDong.file.find("DingDong"), std::string::npos);
    EXPECT_LE((dingDong.start - greeting.end).count(), 1);
    // Recording began when the tone ended, and a few looks around each sound's end are
    // all the reads the machine made.
    const auto& recorded = info.deviceChanges.back();
    EXPECT_EQ(recorded.device, skype::sim::Device::Output);
    EXPECT_LE((recorded.at - dingDong.end).count(), 1);
    EXPECT_LE(recording.statusReads, 4 * 41 + 20);
    const auto records = w.missed.Snapshot();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records[0].hasVoiceMessage);
}

}  // namespace
}  // namespace velto::calls::test
