#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"

// The simulated Skype client is an outside program: it reads and writes WAV files itself,
// without the program's own audio code.
namespace velto::skype::sim {

struct WavInfo {
    uint16_t format = 0;  // 1 = PCM
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t byteRate = 0;
    uint16_t bitsPerSample = 0;
    size_t dataOffset = 0;
    size_t dataBytes = 0;  // as present in the file (a declared size past its end is cut)

    // How long the data plays.
    platform::Millis Duration() const;
};

// Reads the RIFF header of a WAV file held in memory. Nullopt, with `error` set, when the
// bytes are not a WAV file this reader understands.
std::optional<WavInfo> ParseWav(std::string_view bytes, std::string* error = nullptr);

// How long the WAV file at `path` plays; 0 when it is missing or unreadable.
platform::Millis WavFileDuration(const std::filesystem::path& path);

// The samples of a 16-bit PCM mono 16000 Hz WAV file; nullopt (with `error`) for anything
// else.
std::optional<std::vector<int16_t>> ReadVoiceSamples(const std::filesystem::path& path,
                                                     std::string* error = nullptr);

// Writes a 16-bit PCM mono 16000 Hz WAV file sample by sample. The header is kept right
// after every Append, so the file is valid at any moment.
class WavWriter {
  public:
    static constexpr uint32_t kSampleRate = 16000;

    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // False (with `error`) when the file cannot be created.
    bool Open(const std::filesystem::path& path, std::string* error);
    bool Append(const int16_t* samples, size_t count);
    // Closes the file; false when any write failed.
    bool Finish();

    bool IsOpen() const { return file_ != nullptr; }
    uint64_t SamplesWritten() const { return samples_; }

  private:
    bool WriteHeader();

    std::FILE* file_ = nullptr;
    uint64_t samples_ = 0;
    bool failed_ = false;
};

}  // namespace velto::skype::sim
