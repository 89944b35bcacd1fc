#include <gtest/gtest.h>

#include "CallWorld.h"
#include "backends/sim/HeardTimeline.h"
#include "calls/AnsweringMachine.h"
#include "calls/MissedCallFile.h"
#include "calls/RulesStore.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "support/RealTimeLimit.h"
#include "support/TempDir.h"

namespace velto::calls::test {
namespace {

using skype::CallStatus;
using skype::DeviceKind;
using skype::sim::Device;
using skype::sim::DeviceSetting;

std::vector<std::string> HeardFiles(const skype::sim::CallInfo& info) {
    std::vector<std::string> files;
    for (const auto& segment : info.heard) {
        const std::string name = std::filesystem::path(segment.file).filename().string();
        if (files.empty() || files.back() != name) {
            files.push_back(name);
        }
    }
    return files;
}

std::vector<std::string> Messages(const CallWorld& w) {
    std::vector<std::string> texts;
    for (const auto& chat : w.world->ChatMessages()) {
        texts.push_back(chat.text);
    }
    return texts;
}

// The handler's whole life when nobody is there: a caller who gives up within the tone's
// first five seconds never rings the user and leaves a record without a voice message.
TEST(CallHandler, CallerWhoHangsUpWithinFiveSecondsLeavesAMissedCall) {
    platform::TraceCapture trace;
    CallWorld w;
    const int32_t id = w.Ring("alice");
    w.At(3s);
    w.world->CallerHangsUp(id);
    w.Finish();

    const auto info = w.Info(id);
    EXPECT_EQ(info.status, CallStatus::Finished);
    EXPECT_EQ(info.answers, 1);
    EXPECT_EQ(HeardFiles(info), std::vector<std::string>{"default.wav"});
    w.ExpectNoToneGap(id);
    const auto stories = w.panels.Stories();
    ASSERT_EQ(stories.size(), 1u);
    EXPECT_FALSE(stories[0].shownAt);
    EXPECT_EQ(stories[0].decision, AnsweringPanel::kDecline);
    EXPECT_EQ(w.ringer.ringing(), 0);

    const auto records = w.missed.Snapshot();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].partnerHandle, "alice");
    EXPECT_FALSE(records[0].hasVoiceMessage);
    EXPECT_EQ(records[0].time.size(), std::string("2027/01/15 08:00:00").size());
    EXPECT_TRUE(w.missed.NewMissedCall());
    EXPECT_EQ(velto::test::ReadFileBytes(w.own / kMissedCallFileName), EncodeMissedCalls(records));

    // Clean-up: id out of the active calls, the call's cookie revoked (the Skype one stays).
    EXPECT_EQ(w.shared.ActiveCallIds.size(), 0u);
    EXPECT_EQ(w.table.size(), 1u);
    EXPECT_TRUE(trace.Contains("pCall->Status 7............\n"));
    EXPECT_TRUE(trace.Contains("End processing call\n"));
    EXPECT_TRUE(w.world->ThreadViolations().empty());
}

TEST(CallHandler, DevicesAreCutOffBeforeTheAnswerAndTheToneIsAFile) {
    CallWorld w;
    const int32_t id = w.Ring("alice");
    w.At(1s);
    w.world->CallerHangsUp(id);
    w.Finish();
    const auto changes = w.Info(id).deviceChanges;
    ASSERT_GE(changes.size(), 9u);
    const DeviceSetting cut{DeviceKind::SoundCard, ""};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(changes[i].setting, cut);
        EXPECT_EQ(changes[3 + i].setting, cut);
    }
    EXPECT_EQ(changes[6].device, Device::Input);
    EXPECT_EQ(changes[6].setting,
              (DeviceSetting{DeviceKind::File, (w.install / "default.wav").string()}));
    EXPECT_EQ(changes[7].setting, (DeviceSetting{DeviceKind::File, ""}));
    EXPECT_EQ(changes[8].setting, (DeviceSetting{DeviceKind::File, ""}));
}

TEST(CallHandler, WithVoiceMailOffTheCallRingsUntilTheCallerGivesUp) {
    CallWorld w;
    w.settings.SetVoiceMailOn(false);
    const int32_t id = w.Ring("alice");
    w.At(90s);
    EXPECT_EQ(w.ringer.ringing(), 1);
    EXPECT_TRUE(w.output->IsPlaying());
    w.world->CallerHangsUp(id);
    w.Finish();

    const auto info = w.Info(id);
    EXPECT_TRUE(info.recordings.empty());
    EXPECT_EQ(HeardFiles(info), std::vector<std::string>{"default.wav"});
    EXPECT_GE(skype::sim::HeardTime(info.heard), 89s);
    w.ExpectNoToneGap(id);
    const auto stories = w.panels.Stories();
    ASSERT_EQ(stories.size(), 1u);
    EXPECT_EQ(stories[0].shownAt, Millis(5000));
    ASSERT_TRUE(stories[0].hiddenAt);
    // The hang-up wakes the handler at once; nothing waits for a poll.
    EXPECT_EQ(*stories[0].hiddenAt, 90s);
    EXPECT_EQ(w.missed.size(), 1u);
    EXPECT_FALSE(w.output->IsPlaying());
    // The user heard the ring tone, looping, from the panel's showing to its hiding.
    const auto rang = w.output->Segments();
    ASSERT_EQ(rang.size(), 1u);
    EXPECT_EQ(rang[0].file, w.install / "Ringing.wav");
    EXPECT_TRUE(rang[0].loop);
    EXPECT_EQ(rang[0].start, stories[0].shownAt);
    EXPECT_EQ(rang[0].end, stories[0].hiddenAt);
    EXPECT_FALSE(rang[0].completed);
}

// First call of a stranger: standard tone, a new map entry; the second call then counts as
// a per-contact choice and gets the same tone.
TEST(CallHandler, PartnerWithoutEntryGetsTheStandardToneAndAnEntry) {
    platform::TraceCapture trace;
    CallWorld w;
    const int32_t first = w.Ring("alice");
    w.At(6s);
    w.world->CallerHangsUp(first);
    w.Finish();
    EXPECT_EQ(w.settings.FindRingBack("alice"), (core::RingBackChoice{2, -1, -1}));
    EXPECT_FALSE(trace.Contains("USE RINGTONE!!!!\n"));
    const std::string tone = (w.install / "default.wav").string();
    EXPECT_TRUE(trace.Contains(tone + "!!!!!!!!!!!!!!!!!!!!\n"));
    // Standard setting 0: no parenthesis at all.
    EXPECT_EQ(Messages(w), std::vector<std::string>{
                               "\"Vera Velto\" set this MP3 specially for you, with Velto! More "
                               "infos: http://www.velto.com/ringtones"});

    const int32_t second = w.Ring("alice");
    w.After(10s);
    w.world->CallerHangsUp(second);
    w.Finish();
    EXPECT_TRUE(trace.Contains("USE RINGTONE!!!!\n"));
    EXPECT_TRUE(trace.Contains(tone + "!!!!!ZZZZZZZZZZZZZZZZZ\n"));
    EXPECT_EQ(HeardFiles(w.Info(second)), std::vector<std::string>{"default.wav"});
    w.ExpectNoToneGap(first);
    w.ExpectNoToneGap(second);
}

TEST(CallHandler, ModeOneNamesTheAdChoiceAndPlaysTheStandardTone) {
    platform::TraceCapture trace;
    CallWorld w;
    w.settings.SetStandardTone(1);
    w.settings.SetOwnToneSource(u"mine.mp3");
    w.settings.SetRingBack("alice", {1, 0, 0});
    const int32_t id = w.Ring("alice");
    w.At(2s);
    w.world->CallerHangsUp(id);
    w.Finish();
    EXPECT_FALSE(trace.Contains("USE RINGTONE!!!!\n"));
    EXPECT_EQ(HeardFiles(w.Info(id)), std::vector<std::string>{"StdRbtCustom.wav"});
    ASSERT_EQ(Messages(w).size(), 1u);
    EXPECT_NE(Messages(w)[0].find("this MP3 (AD(no translation)) specially"), std::string::npos);
    w.ExpectNoToneGap(id);
}

TEST(CallHandler, ItemsOfTheCatalogueAndOnesItNoLongerHolds) {
    CallWorld w;
    WriteTone(w.own / "RingTone" / "song.wav", 900);
    const int32_t item = *w.settings.InsertTone(
        {u"My Song", platform::Utf8ToUtf16((w.own / "RingTone" / "song.wav").string())});
    w.settings.SetRingBack("alice", {4, 77, item});
    w.settings.SetRingBack("bob", {3, 4242, -1});
    w.shared.FriendMsgEnabled = true;
    const int32_t a = w.Ring("alice");
    const int32_t b = w.Ring("bob");
    w.At(2s);
    w.world->CallerHangsUp(a);
    w.world->CallerHangsUp(b);
    w.Finish();
    EXPECT_EQ(HeardFiles(w.Info(a)), std::vector<std::string>{"song.wav"});
    EXPECT_EQ(HeardFiles(w.Info(b)), std::vector<std::string>{"default.wav"});
    const auto texts = Messages(w);
    ASSERT_EQ(texts.size(), 2u);
    int withTitle = 0, empty = 0;
    for (const auto& text : texts) {
        withTitle += text.find("MP3 (My Song) specially") != std::string::npos;
        empty += text.find("MP3 () specially") != std::string::npos;
    }
    EXPECT_EQ(withTitle, 1);
    EXPECT_EQ(empty, 1);
}

TEST(CallHandler, FriendMessageSwitchOffSendsNothing) {
    CallWorld w;
    w.shared.FriendMsgEnabled = false;
    const int32_t id = w.Ring("alice");
    w.At(1s);
    w.world->CallerHangsUp(id);
    w.Finish();
    EXPECT_TRUE(w.world->ChatMessages().empty());
}

TEST(CallHandler, GonePartnerToneFallsBackToTheOwnToneOrTheDefault) {
    CallWorld w;
    WriteTone(w.dir / "partner" / "p1.wav", 800);
    w.partnerTones["p1"] = {(w.dir / "partner" / "p1.wav").string(), "Partner One"};
    w.settings.SetStandardTone(2);
    w.settings.SetPartnerToneKey(u"p1");
    const int32_t held = w.Ring("alice");
    w.At(1s);
    w.world->CallerHangsUp(held);
    w.Finish();
    EXPECT_EQ(HeardFiles(w.Info(held)), std::vector<std::string>{"p1.wav"});
    EXPECT_NE(Messages(w).back().find("MP3 (Partner One) specially"), std::string::npos);

    w.partnerTones.clear();
    w.settings.SetOwnToneSource(u"mine.mp3");
    const int32_t own = w.Ring("alice");
    w.After(1s);
    w.world->CallerHangsUp(own);
    w.Finish();
    EXPECT_EQ(HeardFiles(w.Info(own)), std::vector<std::string>{"StdRbtCustom.wav"});
    EXPECT_EQ(w.settings.StandardTone(), 1);

    w.settings.SetStandardTone(2);
    w.settings.SetOwnToneSource(u"");
    const int32_t plain = w.Ring("alice");
    w.After(1s);
    w.world->CallerHangsUp(plain);
    w.Finish();
    EXPECT_EQ(HeardFiles(w.Info(plain)), std::vector<std::string>{"default.wav"});
    EXPECT_EQ(w.settings.StandardTone(), 0);
}

TEST(CallHandler, UserTakesTheCallDevicesComeBackAndVideoRestarts) {
    CallWorld w;
    w.panels.AddRule({0, "alice", ScriptedAnsweringPanels::Action::Take, 4s, {}});
    skype::sim::CallOptions options;
    options.videoSend = skype::VideoStatus::Running;
    options.videoReceive = skype::VideoStatus::Starting;
    const int32_t id = w.Ring("alice", options);
    w.At(4s);
    EXPECT_EQ(w.Info(id).videoSend, skype::VideoStatus::Available);  // stopped by its guard
    w.At(60s);
    EXPECT_EQ(w.Info(id).status, CallStatus::InProgress);
    w.world->CallerHangsUp(id);
    w.Finish();

    const auto info = w.Info(id);
    const DeviceSetting normal{DeviceKind::SoundCard, "default"};
    EXPECT_EQ(info.input, normal);
    EXPECT_EQ(info.output, normal);
    EXPECT_EQ(info.captureMic, normal);
    EXPECT_EQ(info.videoSendStops, 1);
    EXPECT_EQ(info.videoSendStarts, 1);
    EXPECT_EQ(info.videoReceiveStops, 1);
    EXPECT_EQ(info.videoReceiveStarts, 1);
    EXPECT_EQ(info.finishes, 0);
    EXPECT_EQ(w.missed.size(), 0u);
    const auto stories = w.panels.Stories();
    EXPECT_EQ(stories[0].decision, AnsweringPanel::kTake);
    EXPECT_EQ(stories[0].pressedAt, Millis(9000));
    // The tone stops when the user takes the call.
    EXPECT_LE(info.heard.back().end, Millis(9000));
    w.ExpectNoToneGap(id);
}

TEST(CallHandler, UserDeclinesTheCallItIsHungUpAndVideoStaysStopped) {
    CallWorld w;
    w.panels.AddRule({0, {}, ScriptedAnsweringPanels::Action::Decline, {}, 7s});
    skype::sim::CallOptions options;
    options.videoSend = skype::VideoStatus::Running;
    const int32_t id = w.Ring("bob", options);
    w.Finish();
    const auto info = w.Info(id);
    EXPECT_EQ(info.finishes, 1);
    EXPECT_EQ(info.status, CallStatus::Finished);
    EXPECT_EQ(info.videoSendStops, 1);
    EXPECT_EQ(info.videoSendStarts, 0);
    EXPECT_EQ(w.missed.size(), 0u);
    EXPECT_EQ(w.panels.Stories()[0].pressedAt, Millis(7000));
    EXPECT_FALSE(w.panels.Stories()[0].hiddenAt < Millis(7000));
    w.ExpectNoToneGap(id);
}

TEST(CallHandler, HangUpDuringTheGreetingLeavesARecordWithoutMessage) {
    platform::TraceCapture trace;
    CallWorld w;
    const int32_t id = w.Ring("alice");
    w.At(41s);  // greeting (3 s, English) began just after 40 s
    EXPECT_EQ(w.ringer.ringing(), 0);
    w.world->CallerHangsUp(id);
    w.Finish();
    const auto info = w.Info(id);
    EXPECT_EQ(HeardFiles(info), (std::vector<std::string>{"default.wav", "DefaultAM_Eng.wav"}));
    EXPECT_TRUE(info.recordings.empty());
    EXPECT_TRUE(trace.Contains("FinishED!!!\n"));
    const auto records = w.missed.Snapshot();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_FALSE(records[0].hasVoiceMessage);
    EXPECT_FALSE(std::filesystem::exists(w.own / "VoiceMessage"));
    w.ExpectNoToneGap(id);
}

// A caller who stays on is hung up five minutes after the recording began.
TEST(CallHandler, CallerWhoStaysOnIsRecordedForFiveMinutes) {
    platform::TraceCapture trace;
    CallWorld w;
    const int32_t id = w.Ring("alice");
    w.Finish();
    const auto info = w.Info(id);
    EXPECT_EQ(HeardFiles(info),
              (std::vector<std::string>{"default.wav", "DefaultAM_Eng.wav", "DingDong.wav"}));
    EXPECT_EQ(LongestGap(info.heard).count(), 0);
    ASSERT_EQ(info.recordings.size(), 1u);
    EXPECT_GE(info.finishes, 1);
    EXPECT_EQ(info.status, CallStatus::Finished);
    const Millis recordStart = info.heard.back().end;
    const Millis length = skype::sim::WavFileDuration(info.recordings[0]);
    EXPECT_GE(length, 300s);
    EXPECT_LE(length, 300s + 200ms);

    const auto records = w.missed.Snapshot();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records[0].hasVoiceMessage);
    EXPECT_EQ(platform::Utf16ToUtf8(records[0].voiceFile), info.recordings[0].string());
    EXPECT_EQ(info.recordings[0].parent_path(), w.own / "VoiceMessage");
    EXPECT_TRUE(info.recordings[0].filename().string().starts_with("recorded_alice_20"));
    EXPECT_TRUE(trace.Contains("Start to record!!\n"));
    EXPECT_TRUE(trace.Contains("NAME!!!!!!!!! " + info.recordings[0].string() + "\n"));
    EXPECT_GT(recordStart, 40s);
    w.ExpectNoToneGap(id);
}

// Quitting ends every stage of a call at once, with no more clock time: callers still
// ringing, hearing the greeting or leaving a message are let go and recorded as missed
// (with what was recorded), while a call the user took stays with Skype.
TEST(CallHandler, QuittingEndsEveryStageAtOnce) {
    platform::TraceCapture trace;
    velto::test::RealTimeLimit limit(60s, "quitting during calls");
    CallWorld w;
    w.panels.AddRule({0, "bob", ScriptedAnsweringPanels::Action::Take, 1s, {}});
    const int32_t recording = w.Ring("alice");  // recording from about 43.5 s
    w.At(19s);
    const int32_t greeted = w.Ring("dave");  // the greeting plays from 59 s
    w.At(50s);
    const int32_t ringing = w.Ring("erin");  // rings the user from 55 s
    w.At(52s);
    const int32_t taken = w.Ring("bob");  // taken at 58 s
    w.At(60s);
    EXPECT_EQ(w.ringer.ringing(), 1);
    w.workers.stop().Request();
    w.Finish();
    EXPECT_EQ(w.clock.Now(), 60s);

    EXPECT_EQ(w.ringer.ringing(), 0);
    for (int32_t id : {recording, greeted, ringing}) {
        EXPECT_EQ(w.Info(id).status, CallStatus::Finished) << id;
    }
    EXPECT_EQ(w.Info(taken).status, CallStatus::InProgress);
    const auto info = w.Info(recording);
    ASSERT_EQ(info.recordings.size(), 1u);
    EXPECT_GE(skype::sim::WavFileDuration(info.recordings[0]), 16s);
    EXPECT_TRUE(w.Info(greeted).recordings.empty());

    const auto records = w.missed.Snapshot();
    ASSERT_EQ(records.size(), 3u);
    std::map<std::string, bool> voice;
    for (const auto& record : records) {
        voice[record.partnerHandle] = record.hasVoiceMessage;
    }
    EXPECT_EQ(voice,
              (std::map<std::string, bool>{{"alice", true}, {"dave", false}, {"erin", false}}));
    for (const auto& story : w.panels.Stories()) {
        if (story.callId == ringing) {
            EXPECT_TRUE(story.shownAt);
            EXPECT_EQ(story.decision, AnsweringPanel::kDecline);
        }
    }
}

TEST(CallHandler, GreetingFollowsTheLanguageOrTheUsersOwn) {
    for (int32_t language : {1, 2}) {
        CallWorld w;
        w.shared.CurrentLanguage = language;
        const int32_t id = w.Ring("alice");
        w.At(46s);
        w.world->CallerHangsUp(id);
        w.Finish();
        const auto files = HeardFiles(w.Info(id));
        ASSERT_GE(files.size(), 2u);
        EXPECT_EQ(files[1], language == 1 ? "DefaultAM_Ch.wav" : "DefaultAM_Eng.wav");
        w.ExpectNoToneGap(id);
    }
    const std::filesystem::path own = "/data/me";
    EXPECT_EQ(GreetingPath(true, 0, "/opt/v", own), "/opt/v/DefaultAM_Ch.wav");
    EXPECT_EQ(GreetingPath(true, 14, "/opt/v", own), "/opt/v/DefaultAM_Eng.wav");
    EXPECT_EQ(GreetingPath(false, 1, "/opt/v", own), "/data/me/AnswerMachine.wav");
}

TEST(CallHandler, SeveralCallsAtOnceEachGetTheirOwnHandlerAndRecord) {
    CallWorld w;
    w.panels.AddRule({0, "bob", ScriptedAnsweringPanels::Action::Take, 1s, {}});
    const int32_t a = w.Ring("alice");
    w.At(500ms);
    const int32_t b = w.Ring("bob");
    w.At(1s);
    const int32_t c = w.Ring("carol");
    EXPECT_EQ(w.shared.ActiveCallIds.size(), 3u);
    w.At(7s);
    EXPECT_EQ(w.ringer.ringing(), 2);  // bob's taken, alice's and carol's ring
    w.world->CallerHangsUp(c);
    w.At(8s);
    EXPECT_EQ(w.ringer.ringing(), 1);
    EXPECT_TRUE(w.output->IsPlaying());
    w.At(400s);
    w.world->CallerHangsUp(b);
    w.Finish();
    const auto records = w.missed.Snapshot();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].partnerHandle, "carol");
    EXPECT_FALSE(records[0].hasVoiceMessage);
    EXPECT_EQ(records[1].partnerHandle, "alice");
    EXPECT_TRUE(records[1].hasVoiceMessage);
    EXPECT_EQ(w.Info(b).output, (DeviceSetting{DeviceKind::SoundCard, "default"}));
    EXPECT_EQ(w.shared.ActiveCallIds.size(), 0u);
    EXPECT_EQ(w.table.size(), 1u);
    for (int32_t id : {a, b, c}) {
        w.ExpectNoToneGap(id);
    }
    EXPECT_EQ(w.world->ChatMessages().size(), 3u);
}

// Calls that end as cancelled or failed must not keep their workers waiting for ever.
TEST(CallHandler, EveryFinalStatusEndsTheHandler) {
    CallWorld w;
    w.settings.SetVoiceMailOn(false);
    const int32_t ringing = w.Ring("alice");
    const int32_t machine = w.Ring("bob");
    w.settings.SetVoiceMailOn(true);
    w.At(20s);
    w.world->SetCallStatus(ringing, CallStatus::Cancelled);
    w.At(50s);  // bob's call is with the answering machine by now
    w.world->SetCallStatus(machine, CallStatus::Failed);
    w.Finish();
    EXPECT_EQ(w.missed.size(), 2u);
    EXPECT_EQ(w.shared.ActiveCallIds.size(), 0u);
}

// The record names the time the call arrived, however long the caller rang or listened.
TEST(CallHandler, MissedCallRecordsCarryTheArrivalTime) {
    setenv("TZ", "UTC", 1);
    tzset();
    CallWorld w;  // wall clock: 2027-01-15 08:00:00 at virtual time 0
    w.At(10s);
    const int32_t rang = w.Ring("alice");
    w.At(35s);  // ringing the user
    w.world->CallerHangsUp(rang);
    w.At(40s);
    const int32_t greeted = w.Ring("bob");
    w.At(82s);  // listening to the greeting
    w.world->CallerHangsUp(greeted);
    w.Finish();
    const auto records = w.missed.Snapshot();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].partnerHandle, "alice");
    EXPECT_EQ(records[0].time, "2027/01/15 08:00:10");
    EXPECT_EQ(records[1].partnerHandle, "bob");
    EXPECT_EQ(records[1].time, "2027/01/15 08:00:40");
}

// A fault that is no automation error (here the file system refusing the user's folder)
// must not leave the caller in an answered call with nobody there and no trace of it.
TEST(CallHandler, AnUnexpectedErrorStillHangsUpAndRecordsTheCall) {
    platform::TraceCapture trace;
    CallWorld w;
    w.services.ownFolder = []() -> std::optional<std::filesystem::path> {
        throw std::filesystem::filesystem_error("status",
                                                std::make_error_code(std::errc::permission_denied));
    };
    const int32_t id = w.Ring("alice");
    w.Finish();
    EXPECT_EQ(w.Info(id).status, CallStatus::Finished);
    const auto records = w.missed.Snapshot();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].partnerHandle, "alice");
    EXPECT_FALSE(records[0].hasVoiceMessage);
    EXPECT_TRUE(w.missed.NewMissedCall());
    EXPECT_TRUE(trace.Contains("Incoming-CallHandler: ended by an unexpected error: "));
    EXPECT_EQ(w.ringer.ringing(), 0);
    EXPECT_EQ(w.shared.ActiveCallIds.size(), 0u);
    EXPECT_EQ(w.table.size(), 1u);
}

TEST(CallHandler, OutgoingCallsAreOnlyTraced) {
    platform::TraceCapture trace;
    CallWorld w;
    const int32_t id = w.world->OutgoingCall("alice");
    auto call = std::make_shared<skype::sim::SimCall>(w.world, id);
    w.shared.ActiveCallIds.Insert(id);
    StartCallHandler(w.services, call->RegisterIn(w.table));
    w.Finish();
    EXPECT_TRUE(trace.Contains("Here is outgoing\n"));
    EXPECT_EQ(w.Info(id).deviceChanges.size(), 0u);
    EXPECT_EQ(w.shared.ActiveCallIds.size(), 0u);
    EXPECT_EQ(w.table.size(), 1u);
}

// The user's switches, one changed per call and then put back, in one world: each side
// shows in what the caller hears, what rings locally and whether the tone message goes,
// and putting a switch back brings back what the call did before, without a fresh start.
TEST(CallHandler, EachSwitchShowsBothSidesAndItsRevertOnItsOwn) {
    struct Step {
        const char* change;
        bool voiceMail, friendMsg, defaultRing, defaultGreeting;
        int32_t standardTone;
        // Worked out by hand: the tone for 5 s, the panel rings 35 s, the greeting after.
        std::vector<std::string> heard;
        const char* rang;
        bool toneMessage;
    };
    const std::vector<std::string> machine{"default.wav", "DefaultAM_Eng.wav", "DingDong.wav"};
    const std::vector<Step> steps{
        {"as installed", true, true, true, true, 0, machine, "Ringing.wav", true},
        {"voice mail off", false, true, true, true, 0, {"default.wav"}, "Ringing.wav", true},
        {"voice mail on again", true, true, true, true, 0, machine, "Ringing.wav", true},
        {"tone message off", true, false, true, true, 0, machine, "Ringing.wav", false},
        {"tone message on again", true, true, true, true, 0, machine, "Ringing.wav", true},
        {"own ring tone", true, true, false, true, 0, machine, "Ringtone.wav", true},
        {"default ring tone again", true, true, true, true, 0, machine, "Ringing.wav", true},
        {"own greeting",
         true,
         true,
         true,
         false,
         0,
         {"default.wav", "AnswerMachine.wav", "DingDong.wav"},
         "Ringing.wav",
         true},
        {"default greeting again", true, true, true, true, 0, machine, "Ringing.wav", true},
        {"own standard tone",
         true,
         true,
         true,
         true,
         1,
         {"StdRbtCustom.wav", "DefaultAM_Eng.wav", "DingDong.wav"},
         "Ringing.wav",
         true},
        {"default standard tone again", true, true, true, true, 0, machine, "Ringing.wav", true},
    };
    CallWorld w;
    WriteTone(w.own / "Ringtone.wav", 600);
    WriteTone(w.own / "AnswerMachine.wav", 2500);
    w.settings.SetOwnToneSource(u"std.mp3");
    for (const Step& step : steps) {
        SCOPED_TRACE(step.change);
        w.settings.SetVoiceMailOn(step.voiceMail);
        w.shared.FriendMsgEnabled = step.friendMsg;
        w.settings.SetUseDefaultRingTone(step.defaultRing);
        w.settings.SetUseDefaultGreeting(step.defaultGreeting);
        w.settings.SetStandardTone(step.standardTone);
        const size_t messages = w.world->ChatMessages().size();
        const size_t rings = w.output->Segments().size();
        const Millis start = w.clock.Now();
        const int32_t id = w.Ring("alice");
        w.At(start + 46s);
        w.world->CallerHangsUp(id);
        w.Finish();
        EXPECT_EQ(HeardFiles(w.Info(id)), step.heard);
        const auto rang = w.output->Segments();
        ASSERT_EQ(rang.size(), rings + 1);
        EXPECT_EQ(rang.back().file.filename(), step.rang);
        EXPECT_EQ(rang.back().start, start + 5s);
        // With voice mail off the panel rings on until the caller gives up.
        // (the machine takes over on the tick after the ring time).
        ASSERT_TRUE(rang.back().end);
        const Millis rangUntil = *rang.back().end - start;
        EXPECT_GE(rangUntil, step.voiceMail ? 40s : 46s);
        EXPECT_LE(rangUntil, step.voiceMail ? 40s + 10ms : 46s);
        EXPECT_EQ(w.world->ChatMessages().size(), messages + (step.toneMessage ? 1 : 0));
    }
}

// A rule's switches, each side and back, on the same caller: a rule turned off lets the
// call go as without rules, ring off shows the panel silently, refuse ends the call busy.
TEST(CallHandler, EachRuleSwitchShowsBothSidesAndItsRevertOnItsOwn) {
    struct Step {
        const char* change;
        bool enabled;
        std::optional<bool> ring;
        bool refuse;
        // Worked out by hand from the rule.
        bool heardTone;
        bool rang;
        bool busyRecord;
    };
    const std::vector<Step> steps{
        {"no switch set", true, std::nullopt, false, true, true, false},
        {"ring off", true, false, false, true, false, false},
        {"ring on again", true, true, false, true, true, false},
        {"ring off, rule off", false, false, false, true, true, false},
        {"ring off, rule on again", true, false, false, true, false, false},
        {"refuse", true, std::nullopt, true, false, false, true},
        {"refuse taken back", true, std::nullopt, false, true, true, false},
        {"refuse, rule off", false, std::nullopt, true, true, true, false},
        {"refuse, rule on again", true, std::nullopt, true, false, false, true},
    };
    CallWorld w;
    RulesStore store;
    w.services.rules = &store;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.change);
        rules::Rule rule;
        rule.name = "alice";
        rule.enabled = step.enabled;
        rule.when.caller.contacts = {"alice"};
        rule.then.ring = step.ring;
        rule.then.refuse = step.refuse;
        ASSERT_EQ(store.Save(w.own, {rule}), 0);
        const size_t rings = w.output->Segments().size();
        const size_t records = w.missed.size();
        const Millis start = w.clock.Now();
        const int32_t id = w.Ring("alice");
        w.At(start + 20s);
        w.world->CallerHangsUp(id);
        w.Finish();
        EXPECT_EQ(!w.Info(id).heard.empty(), step.heardTone);
        EXPECT_EQ(w.output->Segments().size(), rings + (step.rang ? 1 : 0));
        const auto all = w.missed.Snapshot();
        ASSERT_EQ(all.size(), records + 1);
        // Every refused call so far, and only those, is listed as refused busy.
        const auto busy = std::count_if(all.begin(), all.end(),
                                        [](const MissedCall& record) { return record.busy; });
        const auto refusedSoFar = std::count_if(
            steps.data(), &step + 1, [](const Step& earlier) { return earlier.busyRecord; });
        EXPECT_EQ(busy, refusedSoFar);
    }
}

// A rule's tone over a contact's own: standard, silence or a catalogue item while the rule
// holds, and the contact's own tone again once the rule is off or gone; a rule that sends
// the call to the machine at once starts with the greeting.
TEST(CallHandler, EachRuleToneShowsAndTheContactsOwnComesBack) {
    CallWorld w;
    WriteTone(w.install / "Silence.wav", 1000);
    WriteTone(w.own / "RingTone" / "mine.wav", 900);
    WriteTone(w.own / "RingTone" / "bells.wav", 800);
    const int32_t mine = *w.settings.InsertTone(
        {u"Mine", platform::Utf8ToUtf16((w.own / "RingTone" / "mine.wav").string())});
    const int32_t bells = *w.settings.InsertTone(
        {u"Bells", platform::Utf8ToUtf16((w.own / "RingTone" / "bells.wav").string())});
    w.settings.SetRingBack("alice", {3, mine, -1});
    RulesStore store;
    w.services.rules = &store;
    using Kind = rules::ToneChoice::Kind;
    struct Step {
        const char* change;
        std::optional<rules::ToneChoice> tone;  // nothing: no rule at all
        bool enabled;
        std::optional<int> ringSeconds;
        const char* firstHeard;  // by hand
    };
    const Step steps[] = {
        {"no rule", std::nullopt, true, std::nullopt, "mine.wav"},
        {"standard tone", rules::ToneChoice{Kind::Standard, 0}, true, std::nullopt, "default.wav"},
        {"rule off", rules::ToneChoice{Kind::Standard, 0}, false, std::nullopt, "mine.wav"},
        {"silence", rules::ToneChoice{Kind::Silence, 0}, true, std::nullopt, "Silence.wav"},
        {"an item", rules::ToneChoice{Kind::Item, bells}, true, std::nullopt, "bells.wav"},
        {"machine at once", std::nullopt, true, 0, "DefaultAM_Eng.wav"},
        {"ring time as set", std::nullopt, true, std::nullopt, "mine.wav"},
        {"rule gone", std::nullopt, true, std::nullopt, "mine.wav"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.change);
        rules::RuleList list;
        if (std::string_view(step.change) != "no rule" &&
            std::string_view(step.change) != "rule gone") {
            rules::Rule rule;
            rule.name = "tone";
            rule.enabled = step.enabled;
            rule.when.caller.contacts = {"alice"};
            rule.then.tone = step.tone;
            rule.then.ringSeconds = step.ringSeconds;
            list.push_back(rule);
        }
        ASSERT_EQ(store.Save(w.own, list), 0);
        const Millis start = w.clock.Now();
        const int32_t id = w.Ring("alice");
        w.At(start + 2s);
        w.world->CallerHangsUp(id);
        w.Finish();
        const auto heard = HeardFiles(w.Info(id));
        ASSERT_FALSE(heard.empty());
        EXPECT_EQ(heard.front(), step.firstHeard);
    }
}

}  // namespace
}  // namespace velto::calls::test
