#pragma once

#include <cstdint>

namespace velto::audio {

// Turns the decoder's fixed-point samples (28 fraction bits) into 16-bit ones, with
// triangular dither: the difference of two successive values of a linear congruential
// generator, 13 bits wide. One scaler per file, shared by both channels in the order the
// samples are written.
class DitheredScaler {
  public:
    static constexpr uint32_t kInitialState = 0xA8B9FF7Eu;

    int16_t Scale(int32_t sample) {
        // 64-bit, so that the largest fixed-point value does not overflow on rounding.
        int64_t v = int64_t{sample} + 4096;
        const uint32_t r = state_ * 1664525u + 1013904223u;
        v += static_cast<int64_t>(r & 0x1FFF) - static_cast<int64_t>(state_ & 0x1FFF);
        state_ = r;
        if (v < -0x10000000) {
            v = -0x10000000;
        } else if (v > 0x0FFFFFFF) {
            v = 0x0FFFFFFF;
        }
        return static_cast<int16_t>((v & ~int64_t{0x1FFF}) >> 13);
    }

    // The generator step of a sample whose value is not needed (the second channel on the
    // way to a one-channel tone): later samples get the same dither as if it were scaled.
    void Skip() { state_ = state_ * 1664525u + 1013904223u; }

    uint32_t state() const { return state_; }

  private:
    uint32_t state_ = kInitialState;
};

}  // namespace velto::audio
