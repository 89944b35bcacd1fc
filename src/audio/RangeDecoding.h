#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/Mp3Decoder.h"
#include "audio/PcmSink.h"
#include "audio/RandomAccessInput.h"

namespace velto::audio {

// How an MP3 is split into ranges of bytes whose frames are decoded on several threads.
struct RangePlan {
    unsigned threads = 1;  // below 2: one decoder from start to end, on the calling thread
    uint64_t rangeBytes = 256 * 1024;
    // A range's decoder starts this far before the range, to find the frame sequence and
    // refill the bit reservoir; it takes over only once its state is provably the one the
    // whole-file decoding would have there (see RangeDecoding.cpp).
    uint64_t warmupBytes = 1024;

    // Ranges of about 300,000 samples at the bit and sample rate of the first frame found
    // near the start; two threads for an input of at least three ranges when the process
    // may run on two processors or more, else one.
    static RangePlan For(const RandomAccessInput& source);
};

// Decodes `source` into `sink` as DecodeMp3Stream decodes the same bytes from a file: the
// same frames and samples, in order, the same stats and status text (a read failure aside,
// which is reported where it is met). Ranges keep only the first channel's samples: a sink
// that needs both (not FirstChannelOnly) is given one pass on the calling thread.
// `handedOver`, when given, receives how many ranges after the first were taken from
// their own threads (the others were decoded on the calling thread).
int DecodeMp3Ranges(const RandomAccessInput& source, PcmSink& sink, std::string& status,
                    DecodeStats& stats, const RangePlan& plan, size_t* handedOver = nullptr);

}  // namespace velto::audio
