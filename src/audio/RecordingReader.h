#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace velto::audio {

// Reads a WAV recording while it grows: each Read hands over the whole sample frames
// written since the last one, mixed to one channel of 16-bit samples. The header's data
// size may lag behind what the writer has put after it, so a growing file is read to its
// end; a finished one only as far as its header says.
class RecordingReader {
  public:
    // Reads the samples after those read so far from `file` (the same recording, perhaps
    // moved since) into `out`. False, with the reason, while the file has no readable
    // header yet or cannot be read; nothing is lost, the next Read tries again.
    bool Read(const std::filesystem::path& file, bool growing, std::vector<int16_t>& out,
              std::string& error);

    // The recording's sample rate; 0 before the first good Read.
    uint32_t SampleRate() const { return rate_; }
    // Sample frames handed over so far.
    uint64_t FramesRead() const { return framesRead_; }

  private:
    uint32_t rate_ = 0;
    uint64_t framesRead_ = 0;
};

}  // namespace velto::audio
