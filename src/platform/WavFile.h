#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace velto::platform {

// Where the samples of a PCM WAV file are and what they are, for playback.
struct WavLayout {
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t bitsPerSample = 0;
    uint64_t dataOffset = 0;
    uint64_t dataBytes = 0;  // limited to the bytes present in the file

    uint64_t BytesPerSecond() const {
        return uint64_t{sampleRate} * channels * ((bitsPerSample + 7u) / 8u);
    }
    // Play time of the data, in milliseconds.
    uint64_t DurationMs() const;
};

// Reads the RIFF/WAVE chunks of an integer-PCM file (8 or 16 bits). Nothing, with a reason
// in `error`, when the file is missing, damaged or not of that kind.
std::optional<WavLayout> ReadWavLayout(const std::filesystem::path& file, std::string* error);

}  // namespace velto::platform
