#pragma once

#include <cstdint>

namespace velto::audio {

// Where the MP3 decoder's synthesised samples go: a stereo WAV file, or straight into the
// telephone-rate converter. Samples are libmad's fixed-point values (28 fraction bits);
// each sink scales them itself with one DitheredScaler per file.
class PcmSink {
  public:
    virtual ~PcmSink() = default;

    // The first decoded frame's sample rate, before its samples.
    virtual void Begin(uint32_t sampleRate) = 0;

    // One frame's samples. `channels` is the frame's own channel count (1 or 2); `right` is
    // null for a single-channel frame, and for every frame when only the first channel is
    // synthesised (FirstChannelOnly). False when the samples could not be written (errno
    // tells why); the decoder then stops.
    virtual bool Frame(const int32_t* left, const int32_t* right, unsigned length,
                       unsigned channels) = 0;

    // After the last frame, unless a write already failed. False on a write failure.
    virtual bool End() = 0;

    // True when the sink uses only the first channel's samples: the decoder then leaves the
    // second channel unsynthesised, which saves close to half of the synthesis.
    virtual bool FirstChannelOnly() const { return false; }
};

}  // namespace velto::audio
