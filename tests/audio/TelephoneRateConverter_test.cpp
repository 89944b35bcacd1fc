#include "audio/TelephoneRateConverter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "Fixtures.h"
#include "platform/Trace.h"
#include "support/TempDir.h"

namespace velto::audio {
namespace {

using test::Le16At;
using test::Le32At;
using test::MakeWav;
using test::SamplesOf;

// The rule written the plain way: whole seconds (R frames) at a time, reduced on their own.
std::vector<int16_t> Reference(uint32_t rate, unsigned channels, const std::vector<int16_t>& all) {
    std::vector<int16_t> out;
    const size_t frames = all.size() / channels;
    const double x = rate / 16000.0;
    for (size_t start = 0;; start += rate) {
        const size_t n = std::min<size_t>(rate, frames - std::min(frames, start));
        const int count = static_cast<int>(n / x);
        for (int i = 0; i < count; ++i) {
            out.push_back(all[(start + static_cast<size_t>(x * i)) * channels]);
        }
        if (n < rate) {
            break;
        }
    }
    return out;
}

std::vector<int16_t> Ramp(size_t count) {
    std::vector<int16_t> v(count);
    for (size_t i = 0; i < count; ++i) {
        v[i] = static_cast<int16_t>(i * 7 + 1);
    }
    return v;
}

struct Converted {
    TelephoneRateResult result;
    std::string bytes;
};

Converted Convert(const std::string& input) {
    velto::test::TempDir dir;
    velto::test::WriteFileBytes(dir / "in.wav", input);
    platform::TraceCapture quiet;
    Converted c;
    c.result = ConvertToTelephoneRate(dir / "in.wav", dir / "out.wav");
    c.bytes = velto::test::ReadFileBytes(dir / "out.wav");
    return c;
}

TEST(TelephoneRateConverter, FortyEightKilohertzKeepsEveryThirdSampleOfTheLeftChannel) {
    std::vector<int16_t> stereo;
    for (int i = 0; i < 48000 + 300; ++i) {
        stereo.push_back(static_cast<int16_t>(i % 30000));
        stereo.push_back(-1);  // right channel: never taken
    }
    const Converted c = Convert(MakeWav(48000, 2, stereo));
    ASSERT_EQ(c.result.status, TelephoneRateResult::kOk);
    const auto out = SamplesOf(c.bytes);
    ASSERT_EQ(out.size(), 16000u + 100u);
    for (size_t i = 0; i < out.size(); ++i) {
        ASSERT_EQ(out[i], static_cast<int16_t>((3 * i) % 30000)) << i;
    }
    // The header now describes 16-bit mono at 16000 per second.
    EXPECT_EQ(Le32At(c.bytes, 4), 2 * out.size() + 36);
    EXPECT_EQ(Le16At(c.bytes, 22), 1);
    EXPECT_EQ(Le32At(c.bytes, 24), 16000u);
    EXPECT_EQ(Le32At(c.bytes, 28), 32000u);
    EXPECT_EQ(Le16At(c.bytes, 32), 2);
    EXPECT_EQ(Le16At(c.bytes, 34), 16);
    EXPECT_EQ(Le32At(c.bytes, 40), 2 * out.size());
    EXPECT_EQ(c.bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(c.bytes.substr(36, 4), "data");
}

TEST(TelephoneRateConverter, FortyFourKilohertzPicksFloorOfStepTimesIndex) {
    const auto mono = Ramp(44100 * 2 + 1000);
    const Converted c = Convert(MakeWav(44100, 1, mono));
    const auto out = SamplesOf(c.bytes);
    EXPECT_EQ(out, Reference(44100, 1, mono));
    ASSERT_GT(out.size(), 16001u);
    EXPECT_EQ(out[1], mono[2]);          // floor(2.75625)
    EXPECT_EQ(out[4], mono[11]);         // floor(11.025)
    EXPECT_EQ(out[16000], mono[44100]);  // the second second starts afresh
}

TEST(TelephoneRateConverter, SteppedReadingMatchesTheWholeSecondRuleForAnyLayout) {
    std::mt19937 random(7);
    struct Case {
        uint32_t rate;
        uint16_t channels;
    };
    // Includes rates and channel counts whose second is larger than one read step.
    for (const Case& k : {Case{8000, 1}, Case{11025, 2}, Case{22050, 1}, Case{32000, 2},
                          Case{96000, 2}, Case{192000, 1}, Case{44100, 6}, Case{7, 3}}) {
        std::vector<int16_t> samples(k.channels * (k.rate * 2 + random() % k.rate));
        for (auto& s : samples) {
            s = static_cast<int16_t>(random());
        }
        const Converted c = Convert(MakeWav(k.rate, k.channels, samples));
        ASSERT_EQ(c.result.status, TelephoneRateResult::kOk) << k.rate;
        EXPECT_EQ(SamplesOf(c.bytes), Reference(k.rate, k.channels, samples))
            << k.rate << " Hz, " << k.channels << " channels";
    }
}

TEST(TelephoneRateConverter, TakesTheFirst44BytesAsTheHeaderWhateverTheyHold) {
    // A header with an extra chunk: its bytes after 44 are read as samples, and bytes the
    // rewrite does not own come through unchanged.
    std::string wav = MakeWav(16000, 1, Ramp(100));
    wav[36] = 'L';  // "data" id is not checked
    wav[12] = 'X';
    const Converted c = Convert(wav);
    EXPECT_EQ(c.bytes[36], 'L');
    EXPECT_EQ(c.bytes[12], 'X');
    EXPECT_EQ(SamplesOf(c.bytes), Ramp(100));  // 16000 Hz: every sample
}

TEST(TelephoneRateConverter, DamagedHeadersEndCleanly) {
    // Shorter than a header: "header not OK" and an empty output.
    {
        velto::test::TempDir dir;
        velto::test::WriteFileBytes(dir / "in.wav", std::string(43, 'R'));
        platform::TraceCapture trace;
        const auto r = ConvertToTelephoneRate(dir / "in.wav", dir / "out.wav");
        EXPECT_EQ(r.status, TelephoneRateResult::kHeaderNotOk);
        EXPECT_TRUE(trace.Contains("header not OK\n"));
        EXPECT_TRUE(std::filesystem::exists(dir / "out.wav"));
        EXPECT_EQ(std::filesystem::file_size(dir / "out.wav"), 0u);
    }
    // Rate 0 or no channels: a header with no samples.
    for (const auto& wav : {MakeWav(0, 2, Ramp(1000)), MakeWav(44100, 0, Ramp(1000))}) {
        const Converted c = Convert(wav);
        EXPECT_EQ(c.result.status, TelephoneRateResult::kNoFormat);
        EXPECT_FALSE(c.result.Usable());
        ASSERT_EQ(c.bytes.size(), 44u);
        EXPECT_EQ(Le32At(c.bytes, 4), 36u);
        EXPECT_EQ(Le32At(c.bytes, 40), 0u);
    }
    // A missing input: "Fail open".
    velto::test::TempDir dir;
    platform::TraceCapture trace;
    const auto r = ConvertToTelephoneRate(dir / "missing.wav", dir / "out.wav");
    EXPECT_EQ(r.status, TelephoneRateResult::kOpenFailed);
    EXPECT_TRUE(trace.Contains("Fail open\n"));
}

TEST(TelephoneRateConverter, ATrailingPartialFrameIsDropped) {
    std::string wav = MakeWav(16000, 2, {1, 2, 3, 4, 5, 6});
    wav += "\x07";  // half a sample
    const Converted c = Convert(wav);
    EXPECT_EQ(SamplesOf(c.bytes), (std::vector<int16_t>{1, 3, 5}));
}

}  // namespace
}  // namespace velto::audio
