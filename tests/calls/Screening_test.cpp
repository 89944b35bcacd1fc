// Screening while the machine records: listening in plays the caller on the computer's
// speaker and nothing of the room to the caller; picking up keeps what was said as a
// message and hands the call to the user's devices.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "CallWorld.h"
#include "backends/sim/HeardTimeline.h"
#include "calls/PendingMessage.h"
#include "platform/Text.h"
#include "platform/Trace.h"

namespace velto::calls::test {
namespace {

using Action = ScriptedAnsweringPanels::Action;
using skype::sim::HeardSegment;

// When the caller's voice began to go into the message file.
Millis RecordingStart(const skype::sim::CallInfo& info) {
    for (const auto& change : info.deviceChanges) {
        if (change.device == skype::sim::Device::Output &&
            change.setting.kind == skype::DeviceKind::File && !change.setting.text.empty()) {
            return change.at;
        }
    }
    ADD_FAILURE() << "the call was not recorded";
    return Millis(0);
}

ScriptedAnsweringPanels::Rule Press(Action action, Millis at) {
    return {0, {}, action, {}, at};
}

TEST(Screening, ListeningPlaysTheCallerLocallyWhileTheRecordingGoesOn) {
    platform::TraceCapture trace;
    CallWorld w;
    w.panels.AddRule(Press(Action::Listen, 45s));
    w.panels.AddRule(Press(Action::Listen, 50s));  // off again
    const int32_t id = w.Ring("alice");
    w.At(55s);
    w.world->CallerHangsUp(id);
    w.Finish();

    const auto info = w.Info(id);
    const Millis recordStart = RecordingStart(info);
    EXPECT_GT(recordStart, 40s);
    EXPECT_LT(recordStart, 45s);
    ASSERT_EQ(info.localOutput.size(), 1u);
    EXPECT_EQ(info.localOutput[0].start, 45s);
    EXPECT_EQ(info.localOutput[0].end, 50s);
    // The caller heard nothing of the room, and the machine heard the caller to the end.
    EXPECT_TRUE(info.heardUser.empty());
    EXPECT_NE(info.input, (skype::sim::DeviceSetting{skype::DeviceKind::SoundCard, "default"}));
    ASSERT_EQ(info.recordings.size(), 1u);
    EXPECT_EQ(skype::sim::WavFileDuration(info.recordings[0]), 55s - recordStart);
    const auto records = w.missed.Snapshot();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records[0].hasVoiceMessage);
    EXPECT_EQ(info.finishes, 0);

    const auto story = w.panels.Stories().at(0);
    ASSERT_TRUE(story.screenedAt);
    EXPECT_EQ(*story.screenedAt, recordStart);
    EXPECT_EQ(story.listenPresses, (std::vector<Millis>{45s, 50s}));
    EXPECT_EQ(story.hiddenAt, 55s);
    EXPECT_EQ(story.decision, AnsweringPanel::kDecline);
    EXPECT_TRUE(trace.Contains("Screening: listening on\n"));
}

// A backend that cannot listen in: the button comes out again, and the message is whole.
TEST(Screening, ABackendThatRefusesListeningLetsTheButtonOutAndRecordsOn) {
    platform::TraceCapture trace;
    CallWorld w;
    w.world->SetListenInRefused(true);
    w.panels.AddRule(Press(Action::Listen, 45s));
    const int32_t id = w.Ring("alice");
    w.At(55s);
    w.world->CallerHangsUp(id);
    w.Finish();
    const auto info = w.Info(id);
    EXPECT_TRUE(info.localOutput.empty());
    ASSERT_EQ(info.recordings.size(), 1u);
    EXPECT_EQ(skype::sim::WavFileDuration(info.recordings[0]), 55s - RecordingStart(info));
    ASSERT_EQ(w.missed.Snapshot().size(), 1u);
    EXPECT_TRUE(w.missed.Snapshot()[0].hasVoiceMessage);
    EXPECT_TRUE(trace.Contains("Screening: ListenIn: not available (0x80004005)\n"));
    // Once: the button came out, so the machine does not try again.
    EXPECT_EQ(trace.Text().find("Screening: listening on"),
              trace.Text().rfind("Screening: listening on"));
}

// A stream that notes when each piece came and how long it plays.
class NotedStream final : public platform::SoundStream {
  public:
    struct Piece {
        Millis at;
        Millis length;
    };
    NotedStream(platform::Clock& clock, std::shared_ptr<std::vector<Piece>> pieces)
        : clock_(clock), pieces_(std::move(pieces)) {}
    bool Write(const std::vector<int16_t>& samples, uint32_t rate) override {
        pieces_->push_back(
            {clock_.Now(), Millis(static_cast<Millis::rep>(samples.size() * 1000 / rate))});
        return true;
    }
    const char* Name() const override { return "noted"; }

  private:
    platform::Clock& clock_;
    std::shared_ptr<std::vector<Piece>> pieces_;
};

// A backend that cannot listen in itself, with a voice to listen through: the speaker
// plays the recording as it grows, from a moment before the press on (the recording's
// header may come late), each stretch once, a pump period or so behind the caller.
TEST(Screening, ABackendThatRefusesListeningIsHeardThroughItsRecording) {
    platform::TraceCapture trace;
    CallWorld w;
    w.world->SetListenInRefused(true);
    auto played = std::make_shared<std::vector<NotedStream::Piece>>();
    w.services.listenVoice = [&w, played] {
        return std::make_unique<NotedStream>(w.clock, played);
    };
    w.panels.AddRule(Press(Action::Listen, 45s));
    w.panels.AddRule(Press(Action::Listen, 50s));  // off again
    const int32_t id = w.Ring("alice");
    w.At(55s);
    w.world->CallerHangsUp(id);
    w.Finish();

    EXPECT_TRUE(trace.Contains("Screening: listening through the recording\n"));
    ASSERT_FALSE(played->empty());
    Millis heard{0};
    for (const NotedStream::Piece& piece : *played) {
        EXPECT_GE(piece.at, 45s);
        EXPECT_LE(piece.at, 50s);
        heard += piece.length;
    }
    // The first piece is the second and a half before the press; then five seconds
    // listened, each piece handed on as it came: all but the last pump period's.
    EXPECT_NEAR(played->front().length.count(), 1500, 1);  // whole samples
    EXPECT_LE(played->front().at, 45500ms);
    EXPECT_GE(heard, 1500ms + 4500ms);
    EXPECT_LE(heard, 1500ms + 5000ms);
    // The message is whole, as without listening.
    const auto info = w.Info(id);
    ASSERT_EQ(info.recordings.size(), 1u);
    EXPECT_EQ(skype::sim::WavFileDuration(info.recordings[0]), 55s - RecordingStart(info));
    EXPECT_TRUE(w.missed.Snapshot().at(0).hasVoiceMessage);
}

// Listening, then picking up: the speaker plays on without a break, the message ends at the
// pick-up, and the call goes on with the user until the caller hangs up.
TEST(Screening, PickingUpKeepsTheMessageSoFarAndHandsTheCallToTheUser) {
    CallWorld w;
    w.panels.AddRule(Press(Action::Listen, 47s));
    w.panels.AddRule(Press(Action::PickUp, 50s));
    const int32_t id = w.Ring("bob");
    w.At(65s);
    const auto during = w.Info(id);
    EXPECT_EQ(during.status, skype::CallStatus::InProgress);
    // The record is there while the call goes on.
    auto records = w.missed.Snapshot();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records[0].hasVoiceMessage);
    w.world->CallerHangsUp(id);
    w.Finish();

    const auto info = w.Info(id);
    const Millis recordStart = RecordingStart(info);
    ASSERT_EQ(info.recordings.size(), 1u);
    const std::filesystem::path message = info.recordings[0];
    EXPECT_EQ(skype::sim::WavFileDuration(message), 50s - recordStart);
    ASSERT_EQ(info.localOutput.size(), 1u);
    EXPECT_EQ(info.localOutput[0].start, 47s);
    EXPECT_EQ(info.localOutput[0].end, 65s);
    // The caller hears the user from the pick-up on.
    ASSERT_EQ(info.heardUser.size(), 1u);
    EXPECT_EQ(info.heardUser[0].start, 50s);
    EXPECT_EQ(info.heardUser[0].end, 65s);
    EXPECT_EQ(info.finishes, 0);
    EXPECT_EQ(info.status, skype::CallStatus::Finished);

    records = w.missed.Snapshot();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(platform::Utf16ToUtf8(records[0].voiceFile), message.string());
    EXPECT_FALSE(std::filesystem::exists(PendingNoteOf(message)));
    const auto story = w.panels.Stories().at(0);
    EXPECT_EQ(story.pickedUpAt, 50s);
    EXPECT_EQ(story.decision, AnsweringPanel::kTake);
    EXPECT_EQ(story.hiddenAt, 50s);
}

// Without listening first: the user hears the caller from the very moment of the press
// (the delay the report names: none in the simulator's virtual time).
TEST(Screening, TheUserHearsTheCallerAtTheMomentOfThePickUp) {
    CallWorld w;
    w.panels.AddRule({0, {}, Action::PickUp, 4s, {}});
    const int32_t id = w.Ring("alice");
    w.At(60s);
    w.world->CallerHangsUp(id);
    w.Finish();
    const auto info = w.Info(id);
    const auto story = w.panels.Stories().at(0);
    ASSERT_TRUE(story.pickedUpAt && story.screenedAt);
    EXPECT_EQ(*story.pickedUpAt, *story.screenedAt + 4s);
    ASSERT_EQ(info.localOutput.size(), 1u);
    EXPECT_EQ(info.localOutput[0].start - *story.pickedUpAt, Millis(0));
}

// The caller hangs up in the same virtual millisecond as the user picks up, whichever the
// program sees first: one record with its message, and nothing left over.
TEST(Screening, PickUpAsTheCallerHangsUpLeavesOneRecordWithItsMessage) {
    platform::TraceCapture trace;
    trace.set_echo(false);
    CallWorld w;
    constexpr int kCalls = 8;
    for (int i = 0; i < kCalls; ++i) {
        const Millis start = w.clock.Now();
        const Millis moment = start + 50s + Millis(i % 3);
        w.panels.AddRule(Press(Action::PickUp, moment));
        const int32_t id = w.Ring("alice");
        w.At(moment);
        w.world->CallerHangsUp(id);
        w.Finish();
        const auto info = w.Info(id);
        ASSERT_EQ(info.recordings.size(), 1u) << i;
        EXPECT_EQ(skype::sim::WavFileDuration(info.recordings[0]), moment - RecordingStart(info))
            << i;
        EXPECT_TRUE(info.recordingErrors.empty()) << i;
        const auto records = w.missed.Snapshot();
        ASSERT_EQ(records.size(), static_cast<size_t>(i + 1));
        EXPECT_TRUE(records.back().hasVoiceMessage) << i;
        EXPECT_EQ(platform::Utf16ToUtf8(records.back().voiceFile), info.recordings[0].string());
        EXPECT_FALSE(std::filesystem::exists(PendingNoteOf(info.recordings[0])));
        EXPECT_TRUE(w.shared.ActiveCallIds.size() == 0);
        w.After(2s);  // the next call's file name is another second's
    }
}

}  // namespace
}  // namespace velto::calls::test
