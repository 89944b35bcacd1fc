// The microphone's parts that need no device: the conversion of a device's own format to
// 16 kHz mono, and the null input's silence at the clock's pace.
#include <gtest/gtest.h>

#include <cmath>
#include <mutex>
#include <numbers>

#include "platform/InputConversion.h"
#include "platform/SoundInput.h"
#include "platform/VirtualClock.h"

namespace velto::platform {
namespace {

// Upward zero crossings a second: the frequency of a clean sine.
double Frequency(const std::vector<int16_t>& samples, int rate) {
    int crossings = 0;
    for (size_t i = 1; i < samples.size(); ++i) {
        crossings += samples[i - 1] < 0 && samples[i] >= 0;
    }
    return crossings * double(rate) / double(samples.size());
}

double Peak(const std::vector<int16_t>& samples, size_t from) {
    int peak = 0;
    for (size_t i = from; i < samples.size(); ++i) {
        peak = std::max(peak, std::abs(int{samples[i]}));
    }
    return peak;
}

// A 48 kHz stereo card: 1 kHz in both channels comes out as 1 kHz at a third of the samples,
// in blocks of any size as in one; 7 kHz against 0 (opposite channels cancel) comes out silent.
TEST(InputConversion, AStereoCardAtItsOwnRateBecomesTheInputsMonoAtSixteenKilohertz) {
    std::vector<int16_t> stereo;
    const int rate = 48000;
    for (int i = 0; i < rate * 2; ++i) {
        const auto s =
            static_cast<int16_t>(10000 * std::sin(2 * std::numbers::pi * 1000 * i / rate));
        stereo.insert(stereo.end(), {s, s});
    }
    InputConversion whole(rate, 2, kInputRate);
    std::vector<int16_t> once;
    whole.Convert(stereo, once);
    EXPECT_NEAR(double(once.size()), 2.0 * kInputRate, 2);
    EXPECT_NEAR(Frequency(once, kInputRate), 1000, 5);
    EXPECT_GT(Peak(once, 100), 8500);  // the running average takes little off 1 kHz

    InputConversion pieces(rate, 2, kInputRate);
    std::vector<int16_t> blocks;
    for (size_t at = 0; at < stereo.size(); at += 2 * 441) {
        const size_t n = std::min<size_t>(2 * 441, stereo.size() - at);
        pieces.Convert(std::span(stereo).subspan(at, n), blocks);
    }
    EXPECT_EQ(blocks, once);

    std::vector<int16_t> opposite;
    for (int i = 0; i < rate; ++i) {
        const auto s =
            static_cast<int16_t>(10000 * std::sin(2 * std::numbers::pi * 7000 * i / rate));
        opposite.insert(opposite.end(), {s, static_cast<int16_t>(-s)});
    }
    InputConversion cancel(rate, 2, kInputRate);
    std::vector<int16_t> silent;
    cancel.Convert(opposite, silent);
    EXPECT_LE(Peak(silent, 0), 1);

    InputConversion same(kInputRate, 1, kInputRate);
    std::vector<int16_t> copied;
    same.Convert(once, copied);
    EXPECT_TRUE(same.PassesThrough());
    EXPECT_EQ(copied, once);
}

TEST(NullSoundInput, HearsSilenceAtTheClocksPaceUntilStopped) {
    VirtualClock clock(false);
    auto input = CreateNullSoundInput(clock);
    EXPECT_TRUE(input->HasDevice());
    EXPECT_STREQ(input->Name(), "null");
    std::mutex mutex;
    size_t samples = 0;
    bool loud = false;
    ClockCondition changed(clock);
    ASSERT_EQ(input->Start([&](std::span<const int16_t> block) {
        {
            std::lock_guard guard(mutex);
            samples += block.size();
            for (int16_t s : block) {
                loud = loud || s != 0;
            }
        }
        changed.NotifyAll();
    }),
              InputStart::Started);
    for (int i = 0; i < 10; ++i) {
        clock.Advance(Millis(100));
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.WaitFor(lock, Millis(1),
                                    [&] { return samples == static_cast<size_t>(i + 1) * 1600; }));
    }
    input->Stop();
    clock.Advance(Millis(1000));
    std::lock_guard guard(mutex);
    EXPECT_EQ(samples, 16000u);
    EXPECT_FALSE(loud);
}

}  // namespace
}  // namespace velto::platform
