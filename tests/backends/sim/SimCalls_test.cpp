#include <gtest/gtest.h>

#include <mutex>
#include <utility>
#include <vector>

#include "SimFixture.h"
#include "backends/sim/SimWav.h"
#include "callapi/AutomationError.h"
#include "support/TempDir.h"

namespace velto::skype::sim::test {
namespace {

using platform::Millis;

class SimCalls : public SimFixture {
  protected:
    void SetUp() override { SignInAndAttach(); }
};

TEST_F(SimCalls, InputFilePlaysForItsDurationOnTheClock) {
    WriteTone(dir_ / "tone.wav", 1000);
    auto call = AnsweredCall();
    Advance(10);
    call->SetInputDevice(DeviceKind::File, (dir_ / "tone.wav").string());
    EXPECT_TRUE(call->InputStillPlaying());
    EXPECT_EQ(call->InputDevice(DeviceKind::File), (dir_ / "tone.wav").string());
    Advance(999);
    EXPECT_TRUE(call->InputStillPlaying());
    Advance(1);
    EXPECT_FALSE(call->InputStillPlaying());
    EXPECT_EQ(call->InputDevice(DeviceKind::File), "");

    // Re-armed 2 ms late, then cut short by another file after 300 ms.
    Advance(2);
    call->SetInputDevice(DeviceKind::File, (dir_ / "tone.wav").string());
    Advance(300);
    call->SetInputDevice(DeviceKind::File, (dir_ / "missing.wav").string());
    EXPECT_FALSE(call->InputStillPlaying());

    auto info = world_->CallSnapshot(callId_);
    ASSERT_EQ(info.heard.size(), 2u);
    EXPECT_EQ(info.heard[0].start, Millis(10));
    EXPECT_EQ(info.heard[0].end, Millis(1010));
    EXPECT_EQ(info.heard[1].start, Millis(1012));
    EXPECT_EQ(info.heard[1].end, Millis(1312));
    EXPECT_EQ(info.silentPlays, 1);
    EXPECT_EQ(world_->LongestToneGap(callId_), Millis(2));
}

// What the call handler sets its tone again on: the end of a file is reported when it has
// played (on the simulator's own thread, as time passes), and at once for a file that
// cannot be played; a file cut short by another or by the call's end is not.
TEST_F(SimCalls, TheEndOfAnInputFileIsReportedWhenItHasPlayed) {
    WriteTone(dir_ / "tone.wav", 1000);
    const std::string tone = (dir_ / "tone.wav").string();
    auto call = AnsweredCall();
    clock_.SetAutoAdvance(true);  // the reports come as the test sleeps
    std::mutex mutex;
    std::vector<std::pair<CallChange, Millis>> reports;
    auto watch = call->Watch([&](CallChange change) {
        std::lock_guard guard(mutex);
        reports.emplace_back(change, clock_.Now());
    });
    Advance(10);
    call->SetInputDevice(DeviceKind::File, tone);
    clock_.SleepUntil(Millis(1500));
    call->SetInputDevice(DeviceKind::File, tone);
    clock_.SleepUntil(Millis(1800));
    call->SetInputDevice(DeviceKind::File, (dir_ / "missing.wav").string());
    clock_.SleepUntil(Millis(1900));
    call->SetInputDevice(DeviceKind::File, tone);
    clock_.SleepUntil(Millis(2000));
    world_->CallerHangsUp(callId_);
    clock_.SleepUntil(Millis(5000));
    watch.reset();
    const std::vector<std::pair<CallChange, Millis>> expected = {
        {CallChange::InputEnded, Millis(1010)},
        {CallChange::InputEnded, Millis(1800)},
        {CallChange::Status, Millis(2000)}};
    std::lock_guard guard(mutex);
    EXPECT_EQ(reports, expected);
}

TEST_F(SimCalls, CallEndCutsTheToneShort) {
    WriteTone(dir_ / "tone.wav", 5000);
    auto call = AnsweredCall();
    call->SetInputDevice(DeviceKind::File, (dir_ / "tone.wav").string());
    Advance(1200);
    world_->CallerHangsUp(callId_);
    EXPECT_FALSE(call->InputStillPlaying());
    auto info = world_->CallSnapshot(callId_);
    ASSERT_EQ(info.heard.size(), 1u);
    EXPECT_EQ(info.heard[0].end - info.heard[0].start, Millis(1200));
}

TEST_F(SimCalls, FileOutputRecordsTheCallerForTheTimeInProgress) {
    auto voicePath = dir_ / "voice.wav";
    WriteTone(voicePath, 300, 100);
    CallOptions options;
    options.voiceFile = voicePath;
    callId_ = world_->IncomingCall("alice", options);
    loop_.ProcessPending();
    auto call = sink_.LastCall();
    auto out = dir_ / "rec.wav";
    // Set while still ringing: nothing is written until the call is in progress.
    call->SetOutputDevice(DeviceKind::File, out.string());
    Advance(500);
    call->Answer();
    Advance(1000);
    world_->SetCallStatus(callId_, CallStatus::OnHold);
    Advance(4000);  // on hold: the caller is not heard
    world_->SetCallStatus(callId_, CallStatus::InProgress);
    Advance(1537);
    world_->CallerHangsUp(callId_);
    Advance(3000);  // after the end nothing more

    auto bytes = velto::test::ReadFileBytes(out);
    auto info = ParseWav(bytes);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->channels, 1);
    EXPECT_EQ(info->sampleRate, 16000u);
    EXPECT_EQ(info->bitsPerSample, 16);
    EXPECT_EQ(info->Duration(), Millis(2537));
    EXPECT_EQ(bytes.size(), 44u + 2537 * 32);
    // The voice loops: sample 4800 (after 300 ms) starts it again.
    auto samples = ReadVoiceSamples(out);
    ASSERT_TRUE(samples);
    EXPECT_EQ((*samples)[0], 100);
    EXPECT_EQ((*samples)[4800], 100);
    EXPECT_EQ((*samples)[4801], 101);
    EXPECT_EQ(world_->CallSnapshot(callId_).recordings.size(), 1u);
}

TEST_F(SimCalls, RecordingEndsWhenTheOutputIsTakenAwayAndFailsCleanly) {
    auto call = AnsweredCall();
    auto out = dir_ / "gen.wav";
    call->SetOutputDevice(DeviceKind::File, out.string());
    Advance(250);
    call->SetOutputDevice(DeviceKind::SoundCard, "default");
    Advance(250);
    auto info = ParseWav(velto::test::ReadFileBytes(out));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Duration(), Millis(250));
    auto samples = ReadVoiceSamples(out);
    ASSERT_TRUE(samples);
    EXPECT_NE((*samples)[10], 0);  // the generated voice, not silence

    call->SetOutputDevice(DeviceKind::File, (dir_ / "no" / "such" / "dir.wav").string());
    EXPECT_EQ(world_->CallSnapshot(callId_).recordingErrors.size(), 1u);
}

TEST_F(SimCalls, StatusMachineFollowsSkypesNumbering) {
    int32_t first = world_->IncomingCall("alice");
    int32_t second = world_->IncomingCall("bob");
    EXPECT_NE(first, second);
    loop_.ProcessPending();
    auto events = sink_.Of(EventId::CallStatus);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].Object<Call>(0)->Id(), first);
    EXPECT_EQ(events[0].Int(1), ToInt(CallStatus::Ringing));
    auto call = events[0].Object<Call>(0);
    EXPECT_EQ(call->Type(), CallType::IncomingP2P);
    EXPECT_EQ(call->PartnerHandle(), "alice");

    call->Answer();
    EXPECT_EQ(call->Status(), CallStatus::InProgress);
    try {
        call->Answer();
        FAIL() << "a call in progress cannot be answered";
    } catch (const AutomationError& e) {
        EXPECT_LT(e.code(), 0);
    }
    call->Finish();
    call->Finish();  // harmless once finished
    EXPECT_EQ(call->Status(), CallStatus::Finished);

    auto bobs = events[1].Object<Call>(0);
    bobs->Finish();  // declined while ringing
    EXPECT_EQ(bobs->Status(), CallStatus::Refused);

    int32_t missed = world_->IncomingCall("carol");
    world_->CallerHangsUp(missed);
    EXPECT_EQ(world_->CallSnapshot(missed).status, CallStatus::Missed);

    CallOptions fromPhone;
    fromPhone.type = CallType::IncomingPstn;
    int32_t pstn = world_->IncomingCall("+4930123", fromPhone);
    loop_.ProcessPending();
    EXPECT_EQ(sink_.LastCall()->Type(), CallType::IncomingPstn);
    EXPECT_EQ(world_->CallSnapshot(pstn).statusHistory,
              std::vector<CallStatus>{CallStatus::Ringing});
    EXPECT_EQ(world_->CallSnapshot(first).statusHistory,
              (std::vector<CallStatus>{CallStatus::Ringing, CallStatus::InProgress,
                                       CallStatus::Finished}));
}

TEST_F(SimCalls, AutoAnsweredCallRefusesTheProgramsAnswer) {
    world_->SetAutoAnswer(true);
    world_->IncomingCall("alice");
    loop_.ProcessPending();
    auto call = sink_.LastCall();
    EXPECT_EQ(call->Status(), CallStatus::InProgress);
    EXPECT_THROW(call->Answer(), AutomationError);
}

TEST_F(SimCalls, DevicesAndVideoAreSetAndRead) {
    CallOptions options;
    options.videoSend = VideoStatus::Running;
    options.videoReceive = VideoStatus::Starting;
    auto call = AnsweredCall(options);
    call->SetInputDevice(DeviceKind::SoundCard, "");
    call->SetOutputDevice(DeviceKind::SoundCard, "default");
    call->SetCaptureMicDevice(DeviceKind::File, "");
    EXPECT_EQ(call->OutputDevice(DeviceKind::SoundCard), "default");
    EXPECT_EQ(call->OutputDevice(DeviceKind::File), "");
    auto info = world_->CallSnapshot(callId_);
    EXPECT_EQ(info.deviceChanges.size(), 3u);
    EXPECT_EQ(info.captureMic, (DeviceSetting{DeviceKind::File, ""}));

    call->StopVideoSend();
    call->StopVideoReceive();
    EXPECT_EQ(call->VideoSendStatus(), VideoStatus::Available);
    EXPECT_EQ(call->VideoReceiveStatus(), VideoStatus::Available);
    call->StartVideoSend();
    EXPECT_EQ(call->VideoSendStatus(), VideoStatus::Running);
    info = world_->CallSnapshot(callId_);
    EXPECT_EQ(info.videoSendStops, 1);
    EXPECT_EQ(info.videoSendStarts, 1);
    EXPECT_EQ(info.videoReceiveStarts, 0);
    world_->CallerHangsUp(callId_);
    EXPECT_EQ(call->VideoSendStatus(), VideoStatus::NotAvailable);
}

TEST_F(SimCalls, ContactsUserAndChatMessages) {
    world_->AddContact({"alice", "Alice A", "alice", OnlineStatus::Online, false});
    world_->AddContact({"bob", "Bob B", "Bob", OnlineStatus::Offline, true});
    auto friends = skype_->Friends();
    ASSERT_EQ(friends->Count(), 2);
    EXPECT_EQ(friends->Item(1)->Handle(), "alice");
    EXPECT_TRUE(friends->Item(2)->IsBlocked());
    EXPECT_THROW(friends->Item(0), AutomationError);
    EXPECT_THROW(friends->Item(3), AutomationError);

    auto me = skype_->CurrentUser();
    EXPECT_EQ(me->FullName(), "Me Here");
    EXPECT_EQ(me->DisplayName(), "Me");
    EXPECT_EQ(skype_->CurrentUserHandle(), "me.here");
    world_->SetVersion("2.8.0.1");
    EXPECT_EQ(skype_->Version(), "2.8.0.1");

    world_->SetOnlineStatus("bob", OnlineStatus::Away);
    world_->SetOnlineStatus("bob", OnlineStatus::Away);  // no change, no event
    loop_.ProcessPending();
    auto changes = sink_.Of(EventId::OnlineStatus);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].Object<User>(0)->Handle(), "bob");
    EXPECT_EQ(changes[0].Int(1), ToInt(OnlineStatus::Away));
    EXPECT_EQ(friends->Item(2)->OnlineStatus(), OnlineStatus::Away);  // read live

    Advance(42);
    skype_->SendMessage("alice", "\"Me Here\" set this MP3 specially for you");
    auto chats = world_->ChatMessages();
    ASSERT_EQ(chats.size(), 1u);
    EXPECT_EQ(chats[0].handle, "alice");
    EXPECT_EQ(chats[0].at, Millis(42));
}

}  // namespace
}  // namespace velto::skype::sim::test

namespace velto::skype::sim::test {
namespace {

// What a waiting worker relies on: every status and video change is signalled, whoever
// made it, and nothing after the watch is gone.
TEST_F(SimCalls, AWatchSignalsStatusAndVideoChangesUntilItGoes) {
    CallOptions options;
    options.videoSend = VideoStatus::Available;
    auto call = AnsweredCall(options);  // in progress before the watch
    int signals = 0;
    auto watch = call->Watch([&signals] { ++signals; });
    world_->SetVideoStatus(callId_, VideoStatus::Running, VideoStatus::NotAvailable);
    EXPECT_EQ(signals, 1);
    world_->SetVideoStatus(callId_, VideoStatus::Running, VideoStatus::NotAvailable);
    EXPECT_EQ(signals, 1);  // nothing changed
    call->StopVideoSend();
    EXPECT_EQ(signals, 2);
    call->SetInputDevice(DeviceKind::SoundCard, "");  // devices are no call change
    EXPECT_EQ(signals, 2);
    world_->SetCallStatus(callId_, CallStatus::OnHold);
    EXPECT_EQ(signals, 3);
    watch.reset();
    world_->CallerHangsUp(callId_);
    EXPECT_EQ(signals, 3);
    EXPECT_EQ(call->Status(), CallStatus::Finished);
}

// Users are found by handle; a removal must leave every other contact where it was.
TEST_F(SimCalls, ContactsStayFoundByHandleAfterARemoval) {
    for (const char* handle : {"ann", "ben", "cat", "dan"}) {
        world_->AddContact({handle, handle, handle, OnlineStatus::Offline, false});
    }
    world_->RemoveContact("ben");
    world_->AddContact({"cat", "Cat C", "Cathy", OnlineStatus::Offline, false});  // a rename
    world_->SetOnlineStatus("dan", OnlineStatus::Away);
    world_->SetOnlineStatus("ben", OnlineStatus::Away);  // gone: no event
    loop_.ProcessPending();
    EXPECT_EQ(sink_.Ints(EventId::OnlineStatus, 1), std::vector<int32_t>{2});
    auto friends = skype_->Friends();
    ASSERT_EQ(friends->Count(), 3);
    EXPECT_EQ(friends->Item(1)->Handle(), "ann");
    EXPECT_EQ(friends->Item(2)->DisplayName(), "Cathy");
    EXPECT_EQ(friends->Item(3)->OnlineStatus(), OnlineStatus::Away);
    EXPECT_FALSE(world_->FindUser("ben"));
}

}  // namespace
}  // namespace velto::skype::sim::test
