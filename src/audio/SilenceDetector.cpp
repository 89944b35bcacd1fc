#include "audio/SilenceDetector.h"

#include <algorithm>

namespace velto::audio {

SilenceDetector::SilenceDetector(uint32_t sampleRate)
    : frameSamples_(std::max<uint32_t>(1, sampleRate / (1000 / kFrameMs))) {}

void SilenceDetector::Feed(std::span<const int16_t> samples) {
    for (const int16_t sample : samples) {
        const double value = sample;
        frameSum_ += value * value;
        if (++inFrame_ == frameSamples_) {
            JudgeFrame(frameSum_ / frameSamples_);
            frameSum_ = 0;
            inFrame_ = 0;
        }
    }
}

double SilenceDetector::Floor() const {
    // Without any history the line is taken as quiet, so speech from the first frame counts.
    double low = framesInBlock_ > 0 ? currentLow_ : -1;
    for (size_t i = 0; i < blocksKept_; ++i) {
        low = low < 0 ? blockLows_[i] : std::min(low, blockLows_[i]);
    }
    return std::max(low, kLowestFloor);
}

void SilenceDetector::JudgeFrame(double power) {
    const bool voice = power > Floor() * kVoiceOverFloor;
    ++frames_;
    if (voice) {
        const uint64_t pause = frames_ - 1 - lastVoiceEnd_;
        // A short pause between voice frames belongs to the speech.
        if (heardVoice_ && pause * kFrameMs <= kBridgeMs) {
            voiceFrames_ += pause;
        }
        ++voiceFrames_;
        lastVoiceEnd_ = frames_;
        heardVoice_ = true;
    }
    currentLow_ = framesInBlock_ == 0 ? power : std::min(currentLow_, power);
    if (++framesInBlock_ == kFramesPerBlock) {
        blockLows_[nextBlock_] = currentLow_;
        nextBlock_ = (nextBlock_ + 1) % kFloorBlocks;
        blocksKept_ = std::min(blocksKept_ + 1, kFloorBlocks);
        framesInBlock_ = 0;
    }
}

}  // namespace velto::audio
