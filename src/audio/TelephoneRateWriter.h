#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "audio/DitheredScaler.h"
#include "audio/PcmSink.h"
#include "audio/SecondReducer.h"
#include "audio/TelephoneRateConverter.h"

namespace velto::audio {

// The telephone-rate converter fed straight from the MP3 decoder: writes the same tone file
// as decoding to a stereo WAV and converting that WAV, without the WAV. The converter takes
// only the rate and channel count (always 2) from the decoder's header, the rest of which
// is constant, and its data is exactly the samples the decoder wrote; so the first-channel
// samples the reduction picks are scaled with the dither the decoder would give them (the
// others, and the second channel, only advance the generator) and reduced second by second
// at the first frame's rate, whatever rate later frames have.
class TelephoneRateWriter final : public PcmSink {
  public:
    // Writes a place-holder header; `output` must be seekable and stays the caller's.
    explicit TelephoneRateWriter(std::FILE* output);

    void Begin(uint32_t sampleRate) override;
    // Always true: a failed tone write is the converter's failure, not the decoder's; the
    // rest of the input is then ignored, as the converter stops reading.
    bool Frame(const int32_t* left, const int32_t* right, unsigned length,
               unsigned channels) override;
    bool End() override { return true; }
    // The tone is made of the first channel; the second only advances the dither.
    bool FirstChannelOnly() const override { return true; }

    // Reduces the last, shorter second and writes the header. No frame at all gives a
    // header with no samples, as a header with rate 0 does.
    TelephoneRateResult Finish();

  private:
    void EndSecond();
    void Flush();

    std::FILE* output_;
    bool writeOk_;
    uint32_t rate_ = 0;
    SecondReducer reducer_{kToneRate};
    uint64_t secondFrames_ = 0;
    std::vector<unsigned char> pending_;
    DitheredScaler scaler_;
    TelephoneRateResult result_;
};

}  // namespace velto::audio
