// The direct path (decoder samples fed straight to the converter) against the two-step
// path through a scratch WAV, which is the reference: the tone files must not differ by a
// byte, whatever the input.
#include <gtest/gtest.h>

#include <random>

#include "Fixtures.h"
#include "audio/DitheredScaler.h"
#include "audio/Mp3Decoder.h"
#include "audio/RandomAccessInput.h"
#include "audio/RangeDecoding.h"
#include "audio/TelephoneRateWriter.h"
#include "audio/ToneConversion.h"
#include "platform/Trace.h"
#include "support/TempDir.h"

namespace velto::audio {
namespace {

namespace fs = std::filesystem;

TEST(DitheredScaler, LookingAheadMatchesSteppingThrough) {
    DitheredScaler stepped;
    DitheredScaler ahead;
    for (unsigned n = 0; n <= DitheredScaler::kMaxSteps + 1; ++n) {
        ASSERT_EQ(ahead.StateAt(n), stepped.state()) << n;
        stepped.Skip();
    }
    ahead.Advance(DitheredScaler::kMaxSteps);
    ahead.Advance(7);
    DitheredScaler again;
    for (unsigned n = 0; n < DitheredScaler::kMaxSteps + 7; ++n) {
        again.Skip();
    }
    EXPECT_EQ(ahead.state(), again.state());
}

// Frames of fixed-point samples given to the writer and, the two-step way, scaled into a
// stereo WAV that the file converter then reduces.
struct SyntheticFrame {
    std::vector<int32_t> left;
    std::vector<int32_t> right;  // empty for a single-channel frame
};

std::string TwoStepTone(const fs::path& dir, uint32_t rate,
                        const std::vector<SyntheticFrame>& frames) {
    DitheredScaler scaler;
    std::string wav(44, '\0');
    for (const SyntheticFrame& f : frames) {
        for (size_t i = 0; i < f.left.size(); ++i) {
            const int16_t l = scaler.Scale(f.left[i]);
            const int16_t r = f.right.empty() ? l : scaler.Scale(f.right[i]);
            for (const int16_t v : {l, r}) {
                wav += static_cast<char>(v & 0xFF);
                wav += static_cast<char>((static_cast<uint16_t>(v) >> 8) & 0xFF);
            }
        }
    }
    MakeStereoWavHeader(wav.size(), frames.empty() ? 0 : rate,
                        reinterpret_cast<unsigned char*>(wav.data()));
    velto::test::WriteFileBytes(dir / "scratch.wav", wav);
    ConvertToTelephoneRate(dir / "scratch.wav", dir / "two-step.wav");
    return velto::test::ReadFileBytes(dir / "two-step.wav");
}

std::string DirectTone(const fs::path& dir, uint32_t rate,
                       const std::vector<SyntheticFrame>& frames, TelephoneRateResult& result) {
    std::FILE* out = std::fopen((dir / "direct.wav").c_str(), "wb");
    EXPECT_NE(out, nullptr);
    TelephoneRateWriter writer(out);
    for (size_t n = 0; n < frames.size(); ++n) {
        if (n == 0) {
            writer.Begin(rate);
        }
        const SyntheticFrame& f = frames[n];
        // The writer is given the first channel only, as the decoder does for it.
        EXPECT_TRUE(writer.Frame(f.left.data(), nullptr, static_cast<unsigned>(f.left.size()),
                                 f.right.empty() ? 1 : 2));
    }
    result = writer.Finish();
    std::fclose(out);
    return velto::test::ReadFileBytes(dir / "direct.wav");
}

TEST(TelephoneRateWriter, GivesTheTwoStepBytesForAnyRateFrameMixAndLength) {
    velto::test::TempDir dir;
    platform::TraceCapture quiet;
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int32_t> audio(-0x10000000, 0x10000000);
    struct Case {
        uint32_t rate;
        size_t frames;
        unsigned length;  // samples per frame
    };
    // Lengths that end a second exactly (48000 = 40 x 1200), ones that straddle seconds,
    // the libmad lengths 1152 and 576, rates below 16000 (samples repeat).
    const Case cases[] = {{48000, 80, 1200}, {44100, 90, 1152}, {22050, 60, 576},  {8000, 30, 576},
                          {11025, 25, 1152}, {32000, 3, 1152},  {16000, 14, 1152}, {24000, 0, 576}};
    for (const Case& c : cases) {
        std::vector<SyntheticFrame> frames(c.frames);
        for (size_t n = 0; n < frames.size(); ++n) {
            const bool extremes = n % 7 == 3;
            for (unsigned i = 0; i < c.length; ++i) {
                frames[n].left.push_back(extremes ? any(random) : audio(random));
            }
            if (n % 5 != 2) {  // mono frames among stereo ones
                for (unsigned i = 0; i < c.length; ++i) {
                    frames[n].right.push_back(audio(random));
                }
            }
        }
        TelephoneRateResult result;
        const std::string direct = DirectTone(dir.path(), c.rate, frames, result);
        EXPECT_EQ(direct, TwoStepTone(dir.path(), c.rate, frames)) << c.rate << " Hz";
        EXPECT_EQ(result.inputFrames, c.frames * c.length);
        EXPECT_EQ(direct.size(), 44 + 2 * result.samples);
        EXPECT_EQ(result.status,
                  c.frames == 0 ? TelephoneRateResult::kNoFormat : TelephoneRateResult::kOk);
    }
}

class ToneStreamingTest : public ::testing::Test {
  protected:
    void SetUp() override { VELTO_REQUIRE_TOOLS(); }

    // Noise rather than a sine, so that a wrong pick or dither shows in the bytes.
    std::string Mp3(int rate, int channels, const char* lameMode, double seconds) {
        const auto wav = dir_ / "src.wav";
        const auto mp3 = dir_ / "src.mp3";
        EXPECT_TRUE(test::Run("sox -n -r " + std::to_string(rate) + " -c " +
                              std::to_string(channels) + " -b 16 '" + wav.string() + "' synth " +
                              std::to_string(seconds) + " sine 300 whitenoise remix - gain -3"));
        EXPECT_TRUE(test::Run(std::string("lame --quiet -m ") + lameMode + " '" + wav.string() +
                              "' '" + mp3.string() + "'"));
        return velto::test::ReadFileBytes(mp3);
    }

    // Both paths over the same bytes: tone files, status texts, reports and traces.
    void ExpectSameTone(const std::string& name, const std::string& bytes) {
        const fs::path source = dir_ / name;
        velto::test::WriteFileBytes(source, bytes);
        platform::TraceCapture twoStepTrace;
        velto::test::WriteFileBytes(dir_ / "scratch.wav", "");
        const ToneReport twoStep = MakeTone(source, true, dir_ / "scratch.wav", dir_ / "a.wav");
        const std::string twoStepText = twoStepTrace.Text();
        twoStepTrace.Clear();
        const ToneReport direct = MakeToneDirect(source, true, dir_ / "b.wav");
        const std::string a = velto::test::ReadFileBytes(dir_ / "a.wav");
        const std::string b = velto::test::ReadFileBytes(dir_ / "b.wav");
        EXPECT_EQ(a.size(), b.size()) << name;
        EXPECT_TRUE(a == b) << name << ": the tone files differ";
        EXPECT_EQ(twoStepTrace.Text(), twoStepText) << name;
        EXPECT_EQ(direct.decodeStatus, twoStep.decodeStatus) << name;
        EXPECT_EQ(direct.decodeResult, twoStep.decodeResult) << name;
        EXPECT_EQ(direct.decodeStats.frames, twoStep.decodeStats.frames) << name;
        EXPECT_EQ(direct.decodeStats.playMs, twoStep.decodeStats.playMs) << name;
        EXPECT_EQ(direct.convert.status, twoStep.convert.status) << name;
        EXPECT_EQ(direct.convert.samples, twoStep.convert.samples) << name;
        EXPECT_EQ(direct.convert.inputFrames, twoStep.convert.inputFrames) << name;
        EXPECT_EQ(direct.failure, twoStep.failure) << name;
    }

    velto::test::TempDir dir_;
};

TEST_F(ToneStreamingTest, SoundInputsGiveTheTwoStepBytes) {
    ExpectSameTone("mono-22050.mp3", Mp3(22050, 1, "m", 2.3));
    ExpectSameTone("stereo-44100.mp3", Mp3(44100, 2, "j", 2.6));
    ExpectSameTone("stereo-48000.mp3", Mp3(48000, 2, "s", 2.0));
    ExpectSameTone("mono-8000.mp3", Mp3(8000, 1, "m", 1.7));  // MPEG 2.5, below 16000
}

// Long enough for ranges of frames decoded on two threads (on a machine with two
// processors), with a tag at each end.
TEST_F(ToneStreamingTest, ALongFileGivesTheTwoStepBytes) {
    const auto wav = dir_ / "long.wav";
    const auto mp3 = dir_ / "long.mp3";
    ASSERT_TRUE(test::Run("sox -n -r 44100 -c 2 -b 16 '" + wav.string() +
                          "' synth 42 sine 300 whitenoise remix 1v0.5,2v0.2 2v0.5,1v0.2 gain -3"));
    ASSERT_TRUE(test::Run("lame --quiet -m j -b 128 --tt Long '" + wav.string() + "' '" +
                          mp3.string() + "'"));
    const std::string bytes = velto::test::ReadFileBytes(mp3);
    const MemoryInput source(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    EXPECT_GE(source.Size(), 3 * RangePlan::For(source).rangeBytes);
    ExpectSameTone("long.mp3", bytes);
}

TEST_F(ToneStreamingTest, DamagedInputsGiveTheTwoStepBytes) {
    const std::string good = Mp3(44100, 2, "j", 3.0);
    ExpectSameTone("truncated.mp3", good.substr(0, good.size() / 2 + 37));
    ExpectSameTone("prefixed.mp3", std::string(5000, '\x5a') + good);
    std::string damaged = good;
    for (size_t i = damaged.size() / 2; i < damaged.size() / 2 + 300; ++i) {
        damaged[i] = static_cast<char>(i * 37);
    }
    ExpectSameTone("damaged.mp3", damaged);
    // Frames after a change of rate and of channel count are still taken at the first
    // frame's rate, mono frames among stereo ones.
    const std::string mono = Mp3(22050, 1, "m", 1.5);
    ExpectSameTone("rate-change.mp3", good.substr(0, good.size() / 3) + mono + good);
    ExpectSameTone("text.mp3", "this is not an mp3 file at all\n");
    ExpectSameTone("empty.mp3", "");
}

TEST_F(ToneStreamingTest, MissingSourceOrUnwritableToneMatchTheTwoStepPath) {
    platform::TraceCapture trace;
    const ToneReport missing = MakeToneDirect(dir_ / "none.mp3", true, dir_ / "b.wav");
    EXPECT_EQ(missing.decodeStatus, (dir_ / "none.mp3").string() + " not found!\n");
    EXPECT_EQ(missing.convert.status, TelephoneRateResult::kHeaderNotOk);
    EXPECT_EQ(velto::test::ReadFileBytes(dir_ / "b.wav"), "");  // created empty, as before
    EXPECT_FALSE(missing.Usable());

    velto::test::WriteFileBytes(dir_ / "in.mp3", Mp3(44100, 2, "j", 1.0));
    const ToneReport unwritable = MakeToneDirect(dir_ / "in.mp3", true, dir_ / "no/dir/b.wav");
    EXPECT_EQ(unwritable.decodeResult, kDecodeOk);
    EXPECT_GT(unwritable.decodeStats.frames, 0u);
    EXPECT_EQ(unwritable.convert.status, TelephoneRateResult::kOpenFailed);
    EXPECT_TRUE(trace.Contains("frames decoded"));
    EXPECT_TRUE(trace.Contains("Fail open\n"));

    // The tone written over its own source: the source is read before it is replaced.
    const std::string before = velto::test::ReadFileBytes(dir_ / "in.mp3");
    ASSERT_TRUE(MakeTone(dir_ / "in.mp3", true, dir_ / "scratch.wav", dir_ / "a.wav").Usable());
    EXPECT_TRUE(MakeToneDirect(dir_ / "in.mp3", true, dir_ / "in.mp3").Usable());
    EXPECT_TRUE(velto::test::ReadFileBytes(dir_ / "in.mp3") ==
                velto::test::ReadFileBytes(dir_ / "a.wav"));
    EXPECT_NE(before.size(), 0u);
}

// A stop asked for during decoding ends the conversion at the next frame.
TEST_F(ToneStreamingTest, AStopEndsTheDecodingAtTheNextFrame) {
    platform::TraceCapture trace;
    velto::test::WriteFileBytes(dir_ / "in.mp3", Mp3(44100, 2, "j", 3.0));
    int asked = 0;
    const ToneReport report =
        MakeToneDirect(dir_ / "in.mp3", true, dir_ / "b.wav", [&] { return ++asked > 10; });
    EXPECT_EQ(asked, 11);
    EXPECT_EQ(report.decodeStats.frames, 11u);  // the last one decoded, not passed on
    EXPECT_EQ(report.failure, "stopped before the end");
    EXPECT_FALSE(report.Usable());
}

}  // namespace
}  // namespace velto::audio
