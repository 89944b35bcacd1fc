#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "audio/RecordingReader.h"
#include "platform/SoundOutput.h"

namespace velto::calls {

// The caller's voice on the computer's speaker while the machine records it, taken from
// the recording as it grows: for a backend that cannot send a call's sound to the devices
// while the recording goes on. Each Pump hands the voice what the writer added since, as
// one short sound, once the sound before it has played; the speaker thus runs a pump
// period or so behind the caller. On the call handler's thread.
class RecordingEcho {
  public:
    // `voice`: a voice of its own (the ringer's and the player's go on); `scratch`: where
    // the short sounds are written (each is gone once the voice has it).
    RecordingEcho(std::unique_ptr<platform::SoundOutput> voice, std::filesystem::path scratch);
    ~RecordingEcho();
    RecordingEcho(const RecordingEcho&) = delete;
    RecordingEcho& operator=(const RecordingEcho&) = delete;

    // Hands on what `recording` gained since the last call; the first call only marks
    // where listening began.
    void Pump(const std::filesystem::path& recording);
    // Sample frames handed to the voice so far.
    uint64_t FramesPlayed() const { return played_; }

  private:
    std::unique_ptr<platform::SoundOutput> voice_;
    std::filesystem::path scratch_;
    audio::RecordingReader reader_;
    std::vector<int16_t> pending_;
    uint64_t played_ = 0;
    bool complained_ = false;
};

}  // namespace velto::calls
