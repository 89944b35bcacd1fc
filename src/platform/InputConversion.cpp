#include "platform/InputConversion.h"

#include <algorithm>
#include <cmath>

namespace velto::platform {

InputConversion::InputConversion(int deviceRate, int channels, int targetRate)
    : deviceRate_(std::max(deviceRate, 1)),
      channels_(std::max(channels, 1)),
      targetRate_(std::max(targetRate, 1)),
      window_(std::max(1, deviceRate_ / targetRate_)),
      history_(static_cast<size_t>(window_), 0) {}

void InputConversion::Convert(std::span<const int16_t> interleaved, std::vector<int16_t>& out) {
    const size_t frames = interleaved.size() / static_cast<size_t>(channels_);
    if (PassesThrough()) {
        out.insert(out.end(), interleaved.begin(), interleaved.begin() + frames);
        return;
    }
    const double step = double(deviceRate_) / targetRate_;
    for (size_t f = 0; f < frames; ++f) {
        int32_t mono = 0;
        for (int c = 0; c < channels_; ++c) {
            mono += interleaved[f * channels_ + c];
        }
        mono /= channels_;
        sum_ += mono - history_[historyAt_];
        history_[historyAt_] = mono;
        historyAt_ = (historyAt_ + 1) % history_.size();
        const double current = double(sum_) / window_;
        if (!started_) {
            started_ = true;
            previous_ = current;
        }
        // Output samples that lie between the previous input sample and this one.
        while (position_ <= 1.0) {
            const double value = previous_ + (current - previous_) * position_;
            out.push_back(static_cast<int16_t>(std::clamp(std::lround(value), -32768L, 32767L)));
            position_ += step;
        }
        position_ -= 1.0;
        previous_ = current;
    }
}

}  // namespace velto::platform
