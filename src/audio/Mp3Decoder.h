#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "audio/PcmSink.h"

namespace velto::audio {

// Outcome of Decode MP3: 0 success, 1 input, output or decoding failure, 2 write failure.
enum DecodeResult : int { kDecodeOk = 0, kDecodeFailed = 1, kDecodeWriteFailed = 2 };

// Receives the frame count (twice) and the input bytes read so far after each frame.
using DecodeProgress =
    std::function<void(unsigned long frames, unsigned long framesAgain, uint64_t bytesRead)>;

struct DecodeStats {
    unsigned long frames = 0;
    uint64_t playMs = 0;
    uint32_t sampleRate = 0;  // of the first frame; 0 when none was decoded
};

// MP3 file to a 16-bit little-endian stereo WAV file at the MP3's own sample rate (with
// `writeWav`; raw PCM without). `status` receives the outcome text, one line.
// With `writeWav`, a canonical 44-byte header is written over a place-holder at the end,
// even after a failure part-way, from whatever was written.
int DecodeMp3(const std::filesystem::path& input, const std::filesystem::path& output,
              bool writeWav, std::string& status, const DecodeProgress& progress = {},
              DecodeStats* stats = nullptr);

// The decoding loop over an open file, its samples handed to `sink`. Status texts and
// results as for DecodeMp3; a sink that fails to write gives result 2.
int DecodeMp3Stream(std::FILE* input, PcmSink& sink, std::string& status,
                    const DecodeProgress& progress, DecodeStats& stats);

// The same into a stereo WAV's data (the output positioned after any place-holder).
int DecodeMp3Stream(std::FILE* input, std::FILE* output, bool writeWav, std::string& status,
                    const DecodeProgress& progress, DecodeStats& stats);

// Decode MP3 with a WAV header and no progress report, then trace the status text.
int DecodeToWav(const std::filesystem::path& input, const std::filesystem::path& output,
                DecodeStats* stats = nullptr);

// The canonical header of a 16-bit stereo file of `fileSize` bytes.
void MakeStereoWavHeader(uint64_t fileSize, uint32_t sampleRate, unsigned char header[44]);

}  // namespace velto::audio
