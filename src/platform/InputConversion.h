#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace velto::platform {

// Turns a device's interleaved 16-bit blocks of any rate and channel count into the
// input's 16 kHz mono: the channels are averaged, then each output sample is read between
// the two nearest input samples of a short running average (enough against the hiss that
// plain decimation folds down; a greeting needs no studio filter). Keeps its position across
// blocks, so a stream converts as one.
class InputConversion {
  public:
    InputConversion(int deviceRate, int channels, int targetRate);

    // Appends the converted samples of `interleaved` (whole frames) to `out`.
    void Convert(std::span<const int16_t> interleaved, std::vector<int16_t>& out);
    bool PassesThrough() const { return deviceRate_ == targetRate_ && channels_ == 1; }

  private:
    const int deviceRate_;
    const int channels_;
    const int targetRate_;
    const int window_;              // samples of the running average
    std::vector<int32_t> history_;  // the last window_ mono samples, a ring
    size_t historyAt_ = 0;
    int64_t sum_ = 0;
    double previous_ = 0;  // the averaged sample before the current one
    double position_ = 0;  // where the next output sample lies, in input samples from the
                           // current one (0 = the current one)
    bool started_ = false;
};

}  // namespace velto::platform
