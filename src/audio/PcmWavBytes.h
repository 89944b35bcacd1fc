#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "audio/WavSizes.h"

namespace velto::audio {

// A whole 16-bit PCM WAV file in memory: the usual 44-byte header, whose sizes are those of
// `samples` (interleaved for more than one channel), then the samples, little-endian.
std::string PcmWavBytes(PcmFormat format, std::span<const int16_t> samples);

}  // namespace velto::audio
