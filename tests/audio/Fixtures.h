#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace velto::audio::test {

// True when the program is on the PATH (sox, lame).
bool HaveTool(const std::string& name);
// Runs a shell command quietly; true on exit code 0.
bool Run(const std::string& command);

// A canonical 44-byte-header PCM WAV of 16-bit samples (interleaved).
std::string MakeWav(uint32_t rate, uint16_t channels, const std::vector<int16_t>& samples);

// The 16-bit little-endian samples after a 44-byte header.
std::vector<int16_t> SamplesOf(const std::string& wav);

uint32_t Le32At(const std::string& bytes, size_t offset);
uint16_t Le16At(const std::string& bytes, size_t offset);

}  // namespace velto::audio::test

#define VELTO_REQUIRE_TOOLS()                                                                    \
    do {                                                                                         \
        if (!::velto::audio::test::HaveTool("sox") || !::velto::audio::test::HaveTool("lame")) { \
            GTEST_SKIP() << "sox and lame are needed for MP3 fixtures";                          \
        }                                                                                        \
    } while (0)
