#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace velto::audio {

// Tells a caller's voice from silence in a recording fed to it piece by piece (16-bit
// samples of one channel). The recording is judged in 20-ms frames: a frame is voice when
// its power stands clearly above the line's noise floor, so a quiet speaker on a quiet
// line counts as voice and steady noise, however loud, does not. The floor is the lowest
// frame power of the last few seconds (speech always pauses within that time; noise
// does not), and never below a floor of its own for digital silence.
class SilenceDetector {
  public:
    // Frames are this long.
    static constexpr uint32_t kFrameMs = 20;
    // A frame is voice above the floor times this (about 9 dB).
    static constexpr double kVoiceOverFloor = 8.0;
    // The floor never goes below this power (an RMS of 8, about -72 dBFS).
    static constexpr double kLowestFloor = 64.0;
    // Pauses between voice frames up to this long are part of the speech.
    static constexpr uint32_t kBridgeMs = 300;
    // The floor is the lowest power of this many blocks of this many frames.
    static constexpr size_t kFloorBlocks = 8;
    static constexpr uint32_t kFramesPerBlock = 25;

    // `sampleRate` of at least 50 (one sample per frame).
    explicit SilenceDetector(uint32_t sampleRate);

    void Feed(std::span<const int16_t> samples);

    // Milliseconds of recording judged so far (whole frames).
    uint64_t JudgedMs() const { return frames_ * kFrameMs; }
    // Milliseconds of voice so far, short pauses within speech included.
    uint64_t VoiceMs() const { return voiceFrames_ * kFrameMs; }
    // Milliseconds since the last voice frame ended (since the start when none was).
    uint64_t SilenceMs() const { return (frames_ - lastVoiceEnd_) * kFrameMs; }

  private:
    void JudgeFrame(double power);
    double Floor() const;

    uint32_t frameSamples_;
    uint32_t inFrame_ = 0;
    double frameSum_ = 0;
    uint64_t frames_ = 0;
    uint64_t voiceFrames_ = 0;
    uint64_t lastVoiceEnd_ = 0;  // frame count at the end of the last voice frame
    bool heardVoice_ = false;
    // Lowest power of each finished block, oldest first (a ring of kFloorBlocks), and of
    // the block being filled.
    double blockLows_[kFloorBlocks] = {};
    size_t blocksKept_ = 0;
    size_t nextBlock_ = 0;
    double currentLow_ = 0;
    uint32_t framesInBlock_ = 0;
};

}  // namespace velto::audio
