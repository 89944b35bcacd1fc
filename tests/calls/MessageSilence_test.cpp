// How the answering machine ends and keeps a message: after the caller's silence, and only
// with enough voice in it. The recording is measured by counting its samples here, not
// with the program's readers.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>

#include "CallWorld.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "support/TempDir.h"

namespace velto::calls::test {
namespace {

using skype::CallStatus;

// Milliseconds of sound in a 16-bit mono 16000 Hz recording, from its size on disk.
int64_t RecordedMs(const std::filesystem::path& file) {
    return static_cast<int64_t>((std::filesystem::file_size(file) - 44) / 32);
}

// A caller's voice: 100 ms of silence, then a steady sine (the silence lets the line's
// floor be known, so every frame of the sine is voice while it lasts).
std::filesystem::path SteadyVoice(const std::filesystem::path& file) {
    skype::sim::WavWriter writer;
    std::string error;
    EXPECT_TRUE(writer.Open(file, &error)) << error;
    std::vector<int16_t> samples(1600, 0);
    for (int i = 0; i < 16000 * 3; ++i) {
        samples.push_back(static_cast<int16_t>(
            std::lround(8000 * std::sin(2 * std::numbers::pi * 300 * i / 16000.0))));
    }
    writer.Append(samples.data(), samples.size());
    writer.Finish();
    return file;
}

std::vector<std::filesystem::path> SideFiles(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() == ".call") {
            found.push_back(entry.path());
        }
    }
    return found;
}

// A caller who speaks for three seconds and then stays on in silence is hung up six
// seconds later (within the look every 250 ms), and the message is kept.
TEST(MessageSilence, SilenceAfterTheMessageEndsIt) {
    platform::TraceCapture trace;
    CallWorld w;
    skype::sim::CallOptions options;
    options.talksFor = 3s;
    const int32_t id = w.Ring("alice", options);
    w.Finish();
    const auto info = w.Info(id);
    EXPECT_EQ(info.status, CallStatus::Finished);
    EXPECT_GE(info.finishes, 1);
    ASSERT_EQ(info.recordings.size(), 1u);
    const int64_t length = RecordedMs(info.recordings[0]);
    EXPECT_GE(length, 9000);
    EXPECT_LE(length, 9000 + 250 + 20);
    const auto records = w.missed.Snapshot();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records[0].hasVoiceMessage);
    EXPECT_EQ(platform::Utf16ToUtf8(records[0].voiceFile), info.recordings[0].string());
    EXPECT_TRUE(trace.Contains("Silence for "));
    EXPECT_TRUE(SideFiles(w.own / "VoiceMessage").empty());
}

// Less voice than the least a message needs: the call still leaves its record, with no
// message, and neither the recording nor its side file stays. At the limit exactly (1 s),
// the message is kept; one frame less and it goes. A caller who hangs up is judged alike.
TEST(MessageSilence, TooLittleVoiceLeavesARecordWithoutMessage) {
    CallWorld w;
    const auto voice = SteadyVoice(w.dir / "voice.wav");
    struct Case {
        const char* handle;
        Millis talk;
        bool hangsUp;
        bool kept;
    };
    const Case cases[] = {{"alice", 1100ms, false, true},
                          {"bob", 1080ms, false, false},
                          {"carol", 0ms, false, false},
                          {"dave", 1080ms, true, false},
                          {"erin", 1100ms, true, true}};
    std::map<std::string, int32_t> ids;
    for (const Case& c : cases) {
        skype::sim::CallOptions options;
        options.voiceFile = voice;
        options.talksFor = c.talk;
        ids[c.handle] = w.Ring(c.handle, options);
        if (c.hangsUp) {
            w.At(w.clock.Now() + 45s);  // greeting and tone over at about 44.5 s
            w.world->CallerHangsUp(ids[c.handle]);
        }
        w.Finish();
    }
    const auto records = w.missed.Snapshot();
    ASSERT_EQ(records.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(records[i].partnerHandle, c.handle);
        EXPECT_EQ(records[i].hasVoiceMessage, c.kept) << c.handle;
        const auto info = w.Info(ids[c.handle]);
        ASSERT_EQ(info.recordings.size(), 1u) << c.handle;
        EXPECT_EQ(std::filesystem::exists(info.recordings[0]), c.kept) << c.handle;
        if (c.kept && !c.hangsUp) {
            // Hung up by the machine six seconds after the voice ended.
            EXPECT_GE(RecordedMs(info.recordings[0]), 1100 + 6000);
            EXPECT_LE(RecordedMs(info.recordings[0]), 1100 + 6000 + 250 + 20);
        }
    }
    EXPECT_TRUE(SideFiles(w.own / "VoiceMessage").empty());
}

// The three limits come from the user's settings: two seconds of silence end a message,
// no least voice keeps even a silent one, and a talker is cut at twenty seconds; put back,
// the installed ones hold again.
TEST(MessageSilence, TheLimitsAreTheUsersSettings) {
    CallWorld w;
    w.settings.SetVoiceMailLimits({.silenceMs = 2000, .minVoiceMs = 0, .maxLengthMs = 20000});
    skype::sim::CallOptions silent;
    silent.talksFor = 0ms;
    const int32_t quiet = w.Ring("alice", silent);
    w.Finish();
    const int32_t talker = w.Ring("bob");
    w.Finish();
    const auto records = w.missed.Snapshot();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(records[0].hasVoiceMessage);
    EXPECT_TRUE(records[1].hasVoiceMessage);
    const int64_t quietMs = RecordedMs(w.Info(quiet).recordings.at(0));
    EXPECT_GE(quietMs, 2000);
    EXPECT_LE(quietMs, 2000 + 250 + 20);
    const int64_t talkerMs = RecordedMs(w.Info(talker).recordings.at(0));
    EXPECT_GE(talkerMs, 20000);
    EXPECT_LE(talkerMs, 20000 + 120);

    // Put back, the installed limits hold again from the next call: the silent caller
    // leaves no message (one second of voice is the least), and a three-second talker is
    // hung up after six seconds of silence, not two.
    w.settings.SetVoiceMailLimits({});
    const int32_t quietAgain = w.Ring("carol", silent);
    w.Finish();
    skype::sim::CallOptions shortTalk;
    shortTalk.talksFor = 3s;
    const int32_t talkerAgain = w.Ring("dave", shortTalk);
    w.Finish();
    const auto again = w.missed.Snapshot();
    ASSERT_EQ(again.size(), 4u);
    EXPECT_FALSE(again[2].hasVoiceMessage);
    EXPECT_FALSE(std::filesystem::exists(w.Info(quietAgain).recordings.at(0)));
    EXPECT_TRUE(again[3].hasVoiceMessage);
    const int64_t againMs = RecordedMs(w.Info(talkerAgain).recordings.at(0));
    EXPECT_GE(againMs, 3000 + 6000);
    EXPECT_LE(againMs, 3000 + 6000 + 250 + 20);
}

}  // namespace
}  // namespace velto::calls::test
