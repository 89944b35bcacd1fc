#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "audio/RecordingReader.h"
#include "platform/SoundStream.h"

namespace velto::calls {

// The caller's voice on the computer's speaker while the machine records it, taken from
// the recording as it grows: for a backend that cannot send a call's sound to the devices
// while the recording goes on. Each Pump hands the stream what the writer added since; the
// speaker thus runs a pump period or so behind the caller. On the call handler's thread.
class RecordingEcho {
  public:
    // `voice`: a stream of its own (the ringer's and the player's voices go on).
    explicit RecordingEcho(std::unique_ptr<platform::SoundStream> voice);

    // Hands on what `recording` gained since the last call; the first call hands on only
    // the last moments before it.
    void Pump(const std::filesystem::path& recording);
    // Sample frames handed to the voice so far.
    uint64_t FramesPlayed() const { return played_; }

  private:
    std::unique_ptr<platform::SoundStream> voice_;
    audio::RecordingReader reader_;
    std::vector<int16_t> pending_;
    uint64_t played_ = 0;
    bool complained_ = false;
};

}  // namespace velto::calls
