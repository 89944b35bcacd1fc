#include "audio/SilenceDetector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>
#include <vector>

namespace velto::audio {
namespace {

constexpr uint32_t kRate = 16000;

// Builds a signal piece by piece: a sine's level is its peak, noise's its RMS.
class Signal {
  public:
    explicit Signal(uint32_t rate = kRate) : rate_(rate) {}

    Signal& Sine(double peak, int ms, double hz = 300) {
        for (size_t i = 0; i < Count(ms); ++i) {
            Add(peak * std::sin(2 * std::numbers::pi * hz * double(phase_++) / rate_));
        }
        return *this;
    }
    // White noise of that RMS (uniform, so its peak is RMS times the root of 3).
    Signal& Noise(double rms, int ms) {
        for (size_t i = 0; i < Count(ms); ++i) {
            seed_ = seed_ * 6364136223846793005ULL + 1442695040888963407ULL;
            const double unit = double(seed_ >> 11) / double(1ULL << 53) * 2 - 1;
            Add(unit * rms * std::sqrt(3.0));
        }
        return *this;
    }
    Signal& Zeros(int ms) {
        samples_.resize(samples_.size() + Count(ms), 0);
        return *this;
    }
    // Speech as syllables over the line's noise: `peak` bursts of 250 ms with 50-ms pauses
    // in which only the noise is heard, ending on a burst.
    Signal& Speech(double peak, double noiseRms, int ms) {
        for (int at = 0; at < ms; at += 300) {
            const size_t start = samples_.size();
            Sine(peak, 250);
            Signal noise(rate_);
            noise.seed_ = seed_ + static_cast<uint64_t>(at);
            noise.Noise(noiseRms, 250);
            for (size_t i = 0; i < noise.samples_.size(); ++i) {
                samples_[start + i] = Clip(samples_[start + i] + noise.samples_[i]);
            }
            if (at + 300 < ms) {
                Noise(noiseRms, 50);
            }
        }
        return *this;
    }

    const std::vector<int16_t>& samples() const { return samples_; }

  private:
    size_t Count(int ms) const { return static_cast<size_t>(ms) * rate_ / 1000; }
    static int16_t Clip(double value) {
        return static_cast<int16_t>(std::lround(std::clamp(value, -32768.0, 32767.0)));
    }
    void Add(double value) { samples_.push_back(Clip(value)); }

    uint32_t rate_;
    uint64_t phase_ = 0;
    uint64_t seed_ = 12345;
    std::vector<int16_t> samples_;
};

SilenceDetector Judge(const Signal& signal, uint32_t rate = kRate) {
    SilenceDetector detector(rate);
    detector.Feed(signal.samples());
    return detector;
}

// A speaker at about -45 dBFS on a line at -64 dBFS is all voice (a fixed threshold at
// the usual -40 dBFS would hear nothing), and the line alone afterwards is silence.
TEST(SilenceDetector, AQuietSpeakerAboveALowFloorIsVoice) {
    Signal signal;
    signal.Noise(20, 1000).Speech(250, 20, 2950).Noise(20, 2000);
    const SilenceDetector detector = Judge(signal);
    EXPECT_EQ(detector.JudgedMs(), 5940u);
    EXPECT_NEAR(double(detector.VoiceMs()), 2950, 40);
    EXPECT_NEAR(double(detector.SilenceMs()), 2000, 40);
}

// Steady noise, however loud, is no voice: a hiss at -24 dBFS and a hum at -10 dBFS.
// Only the first frame, judged before the floor is known, may count.
TEST(SilenceDetector, SteadyNoiseIsSilence) {
    for (const bool hum : {false, true}) {
        Signal signal;
        if (hum) {
            signal.Sine(10000, 10000, 50);
        } else {
            signal.Noise(2000, 10000);
        }
        const SilenceDetector detector = Judge(signal);
        EXPECT_LE(detector.VoiceMs(), SilenceDetector::kFrameMs) << hum;
        EXPECT_GE(detector.SilenceMs(), 10000u - SilenceDetector::kFrameMs) << hum;
    }
}

// A loud line does not hide a speaker well above it; when a steady noise starts in the
// middle of a quiet call it counts as voice only until the floor has learnt it (the
// floor's window, at most 4.5 s), then as silence.
TEST(SilenceDetector, TheFloorFollowsTheLine) {
    Signal loud;
    loud.Noise(1000, 2000).Speech(12000, 1000, 2950).Noise(1000, 3000);
    const SilenceDetector overNoise = Judge(loud);
    EXPECT_NEAR(double(overNoise.VoiceMs()), 2950, 40);
    EXPECT_NEAR(double(overNoise.SilenceMs()), 3000, 40);

    Signal change;
    change.Zeros(5000).Noise(1500, 15000);
    const SilenceDetector learnt = Judge(change);
    EXPECT_LE(learnt.VoiceMs(),
              4500u + SilenceDetector::kFramesPerBlock * SilenceDetector::kFrameMs);
    EXPECT_GE(learnt.SilenceMs(), 10000u);
}

// The limits are exact to the frame: pauses up to 300 ms belong to the speech, longer ones
// do not; the silence counts from the end of the last voice frame; a partial frame waits.
// (Each signal opens with a little silence, so that the floor is known.)
TEST(SilenceDetector, ExactLimits) {
    Signal bridged;
    bridged.Zeros(100).Sine(8000, 200).Zeros(300).Sine(8000, 200);
    EXPECT_EQ(Judge(bridged).VoiceMs(), 700u);
    Signal apart;
    apart.Zeros(100).Sine(8000, 200).Zeros(320).Sine(8000, 200);
    EXPECT_EQ(Judge(apart).VoiceMs(), 400u);

    Signal signal;
    signal.Zeros(100).Sine(8000, 1000).Zeros(5980);
    SilenceDetector detector = Judge(signal);
    EXPECT_EQ(detector.VoiceMs(), 1000u);
    EXPECT_EQ(detector.SilenceMs(), 5980u);
    const std::vector<int16_t> half(160, 0);
    detector.Feed(half);
    EXPECT_EQ(detector.SilenceMs(), 5980u);
    detector.Feed(half);
    EXPECT_EQ(detector.SilenceMs(), 6000u);
    EXPECT_EQ(detector.JudgedMs(), 7100u);

    // Nothing but silence from the start: all of it counts.
    Signal quiet;
    quiet.Zeros(6000);
    EXPECT_EQ(Judge(quiet).VoiceMs(), 0u);
    EXPECT_EQ(Judge(quiet).SilenceMs(), 6000u);
}

// Fed in odd pieces, at the telephone rate of 8000, the judgement is the same.
TEST(SilenceDetector, PiecesAndRatesJudgeAlike) {
    Signal signal(8000);
    signal.Noise(30, 500).Speech(3000, 30, 1450).Zeros(700);
    const SilenceDetector whole = Judge(signal, 8000);
    SilenceDetector pieces(8000);
    const auto& samples = signal.samples();
    for (size_t at = 0; at < samples.size(); at += 37) {
        pieces.Feed(std::span(samples).subspan(at, std::min<size_t>(37, samples.size() - at)));
    }
    EXPECT_EQ(pieces.VoiceMs(), whole.VoiceMs());
    EXPECT_EQ(pieces.SilenceMs(), whole.SilenceMs());
    EXPECT_EQ(whole.JudgedMs(), 2640u);
    EXPECT_NEAR(double(whole.VoiceMs()), 1450, 40);
}

}  // namespace
}  // namespace velto::audio
