#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace velto::audio {

namespace detail {
// n steps of the scaler's generator are state * multiplier[n] + increment[n] (modulo 2^32).
struct DitherJumps {
    static constexpr size_t kCount = 2 * 1152 + 2;
    std::array<uint32_t, kCount> multiplier{};
    std::array<uint32_t, kCount> increment{};
    constexpr DitherJumps() {
        multiplier[0] = 1;
        for (size_t n = 1; n < kCount; ++n) {
            multiplier[n] = multiplier[n - 1] * 1664525u;
            increment[n] = increment[n - 1] * 1664525u + 1013904223u;
        }
    }
};
inline constexpr DitherJumps kDitherJumps{};
}  // namespace detail

// Turns the decoder's fixed-point samples (28 fraction bits) into 16-bit ones, with
// triangular dither: the difference of two successive values of a linear congruential
// generator, 13 bits wide. One scaler per file, shared by both channels in the order the
// samples are written.
class DitheredScaler {
  public:
    static constexpr uint32_t kInitialState = 0xA8B9FF7Eu;
    static constexpr uint32_t kMultiplier = 1664525u;
    static constexpr uint32_t kIncrement = 1013904223u;
    // How far StateAt can look ahead: one stereo frame of libmad's longest.
    static constexpr unsigned kMaxSteps = detail::DitherJumps::kCount - 2;

    int16_t Scale(int32_t sample) {
        const uint32_t next = state_ * kMultiplier + kIncrement;
        const int16_t scaled = ScaleWith(sample, state_, next);
        state_ = next;
        return scaled;
    }

    // The generator step of a sample whose value is not needed (the second channel on the
    // way to a one-channel tone): later samples get the same dither as if it were scaled.
    void Skip() { state_ = state_ * kMultiplier + kIncrement; }

    // The state `steps` samples on (at most kMaxSteps) in one step, so that a few samples
    // of a frame can be scaled without taking the generator through all the others: the
    // sample `steps` on is ScaleWith(sample, StateAt(steps), StateAt(steps + 1)).
    uint32_t StateAt(unsigned steps) const {
        return detail::kDitherJumps.multiplier[steps] * state_ +
               detail::kDitherJumps.increment[steps];
    }
    void Advance(unsigned steps) { state_ = StateAt(steps); }

    // The scaling of one sample between two successive generator states.
    static int16_t ScaleWith(int32_t sample, uint32_t previous, uint32_t next) {
        // 64-bit, so that the largest fixed-point value does not overflow on rounding.
        int64_t v = int64_t{sample} + 4096;
        v += static_cast<int64_t>(next & 0x1FFF) - static_cast<int64_t>(previous & 0x1FFF);
        if (v < -0x10000000) {
            v = -0x10000000;
        } else if (v > 0x0FFFFFFF) {
            v = 0x0FFFFFFF;
        }
        return static_cast<int16_t>((v & ~int64_t{0x1FFF}) >> 13);
    }

    uint32_t state() const { return state_; }

  private:
    uint32_t state_ = kInitialState;
};

}  // namespace velto::audio
