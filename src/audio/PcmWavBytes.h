#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "audio/WavSizes.h"

namespace velto::audio {

// A whole 16-bit PCM WAV file in memory: the usual 44-byte header, whose sizes are those of
// `samples` (interleaved for more than one channel), then the samples, little-endian.
std::string PcmWavBytes(PcmFormat format, std::span<const int16_t> samples);

// That header alone, for integer PCM of any sample width, before `dataBytes` of samples.
std::string PcmWavHeader(uint32_t rate, uint16_t channels, uint16_t bitsPerSample,
                         uint32_t dataBytes);

}  // namespace velto::audio
