#pragma once

#include <cstdint>
#include <vector>

#include "audio/TelephoneRateConverter.h"

namespace velto::audio {

// Picks the telephone-rate samples of one second of input (or of the last, shorter one) as
// its first-channel samples arrive: of its n samples, output i is sample floor(x * i),
// x = rate / 16000, for i below floor(n / x). No filtering; below 16000 samples repeat.
class SecondReducer {
  public:
    explicit SecondReducer(uint32_t rate) : x_(static_cast<double>(rate) / kToneRate) {}

    void Begin() {
        frames_ = 0;
        next_ = 0;
        picked_.clear();
    }

    // The next `count` samples of this second; any split gives the same picks.
    void Add(const int16_t* samples, uint64_t count) {
        AddPicked(count, [samples](uint64_t i) { return samples[i]; });
    }

    // The same, asking `valueAt(i)` only for the samples picked (i counts from the first of
    // these `count`), so that the others need not be worked out at all.
    template <typename ValueAt>
    void AddPicked(uint64_t count, ValueAt valueAt) {
        for (;;) {
            const uint64_t index = static_cast<uint64_t>(x_ * static_cast<double>(next_));
            if (index >= frames_ + count) {
                break;
            }
            picked_.push_back(valueAt(index - frames_));
            ++next_;
        }
        frames_ += count;
    }

    // The second's output: floor(n / x) samples.
    const std::vector<int16_t>& End() {
        const auto wanted = static_cast<uint64_t>(static_cast<double>(frames_) / x_);
        // Only rounding could make these differ; the count rule wins.
        picked_.resize(wanted, picked_.empty() ? int16_t{0} : picked_.back());
        return picked_;
    }

  private:
    double x_;
    uint64_t frames_ = 0;
    uint64_t next_ = 0;
    std::vector<int16_t> picked_;
};

}  // namespace velto::audio
