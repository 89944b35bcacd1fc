#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>

namespace velto::audio {

// The one form that Skype plays into calls.
constexpr uint32_t kToneRate = 16000;

struct TelephoneRateResult {
    enum Status {
        kOk,
        kOpenFailed,   // "Fail open": nothing written
        kHeaderNotOk,  // fewer than 44 bytes: the output stays empty
        kNoFormat,     // the header gives a rate or channel count of 0: a header, no samples
        kWriteFailed,
    };
    Status status = kOk;
    uint64_t inputFrames = 0;  // sample frames read from the input
    uint32_t inputRate = 0;
    uint64_t samples = 0;  // samples written, each 16-bit mono at 16000 per second

    // A tone file that has something to play.
    bool Usable() const { return status == kOk && samples > 0; }
};

// 16-bit WAV to 16-bit mono at 16000 samples per second. The first 44 bytes are taken as a
// canonical header whatever they hold (rate from bytes 24-27, channel count from byte 22)
// and come back with the fields of the new form. Each second of input is reduced on its
// own: of its n first-channel samples, output i is sample floor(x * i), x = rate / 16000,
// for i below floor(n / x); no filtering. Any rate and channel count is read in bounded
// steps with that same rule.
TelephoneRateResult ConvertToTelephoneRate(const std::filesystem::path& input,
                                           const std::filesystem::path& output);

// Writes the fields of the tone form (size 2N + 36, one channel, 16000 per second, 32000
// bytes per second, alignment 2, 16 bits, data size 2N) over a 44-byte header; the other
// bytes stay. A size beyond 32 bits is written as 0xFFFFFF00.
void RewriteAsToneHeader(unsigned char header[44], uint64_t samples);

// The same over open files; `output` must be seekable (the header is rewritten at the end).
TelephoneRateResult ConvertStreamToTelephoneRate(std::FILE* input, std::FILE* output);

}  // namespace velto::audio
