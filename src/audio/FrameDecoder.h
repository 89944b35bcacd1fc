#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/MadState.h"
#include "audio/RandomAccessInput.h"

namespace velto::audio {

// libmad over a RandomAccessInput, one step at a time, reading the input in the same windows as
// DecodeMp3Stream: 40960 bytes from where libmad asked for more, and 8 zero bytes after the
// end of the input. Started at offset 0 it decodes exactly as DecodeMp3Stream does.
//
// Where a window begins changes what libmad does only when it has lost the frame sequence
// (a lost sync, a bad header, a free-format rate to measure). A decoder started elsewhere
// can be made strict: it then stops before such a step (kIrregular), its state as before
// the step, so that the step can be taken in the windows the whole-file decoding would
// have had (Rewindow).
class FrameDecoder {
  public:
    static constexpr size_t kWindowBytes = 40960;

    enum class Event {
        kHeader,       // a frame header was read: FrameStart, FrameSize, header()
        kFrame,        // its frame was decoded and, with synthesis on, synthesised: pcm()
        kFrameError,   // its frame could not be decoded; decoding goes on
        kStreamError,  // no frame here (lost sync, a bad header); decoding goes on
        kIrregular,    // strict: stopped before a step that depends on the windows
        kEnd,          // no more input
        kReadError,    // the source failed: readError()
        kFatal,        // libmad cannot go on: error()
    };

    // Decodes from `start`. Only the first channel is synthesised with `firstChannelOnly`.
    FrameDecoder(const RandomAccessInput& source, uint64_t start, bool firstChannelOnly);

    Event Step();

    void SetStrict(bool strict) { strict_ = strict; }
    // Frames are still decoded without synthesis (warm-up frames whose samples are unused).
    void SetSynthesis(bool on) { synthesis_ = on; }

    // Reads the input again as the window [windowStart, ...) and goes on there, with
    // `freeRate` as the free-format rate found so far; strict mode ends. False on a read
    // failure (readError()).
    bool Rewindow(uint64_t windowStart, unsigned long freeRate);

    uint64_t FrameStart() const { return Offset(mad_.stream.this_frame); }
    uint32_t FrameSize() const {
        return static_cast<uint32_t>(mad_.stream.next_frame - mad_.stream.this_frame);
    }
    // Main-data bytes of the frame whose header was read last (what it adds to the bit
    // reservoir, at most).
    size_t FramePayload() const;
    uint64_t NextOffset() const { return Offset(mad_.stream.next_frame); }
    uint64_t WindowStart() const { return windowStart_; }
    uint64_t WindowEnd() const { return windowStart_ + windowLength_; }  // guard included
    unsigned long FreeRate() const { return mad_.stream.freerate; }
    bool Synced() const { return mad_.stream.sync != 0; }

    const mad_header& header() const { return mad_.frame.header; }
    const mad_pcm& pcm() const { return mad_.synth.pcm; }
    mad_error error() const { return mad_.stream.error; }
    const char* ErrorText() const { return mad_stream_errorstr(&mad_.stream); }
    int readError() const { return readError_; }

  private:
    bool Refill(Event& event);
    bool FillWindow(uint64_t from);
    Event DecodeFrame(bool& again);
    uint64_t Offset(const unsigned char* p) const {
        return p == nullptr ? windowStart_
                            : windowStart_ + static_cast<uint64_t>(p - buffer_.data());
    }

    const RandomAccessInput& source_;
    const uint64_t start_;
    const bool firstChannelOnly_;
    MadState mad_;
    std::vector<unsigned char> buffer_;
    uint64_t windowStart_ = 0;
    size_t windowLength_ = 0;
    bool atEnd_ = false;
    bool strict_ = false;
    bool synthesis_ = true;
    bool irregular_ = false;
    int readError_ = 0;
};

}  // namespace velto::audio
