#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace velto::platform {

// A voice fed as it goes: the mono 16-bit samples handed on play one after the other with no
// gap between them; while it waits for more it plays silence. It ends when it goes. For a
// sound that arrives in pieces (a call's voice read from its recording as it grows), where
// a sound per piece would open the device anew each time and lose most of it.
class SoundStream {
  public:
    virtual ~SoundStream() = default;

    // Queues `samples` at `rate` samples a second. The stream keeps the first rate it is
    // given: false for another, and when the device cannot play. What waits beyond
    // kMaxQueuedMs is dropped from the oldest, so the voice never falls far behind.
    virtual bool Write(const std::vector<int16_t>& samples, uint32_t rate) = 0;
    // "null" or "portaudio".
    virtual const char* Name() const = 0;
};

// The most a stream holds unplayed.
inline constexpr uint32_t kMaxQueuedMs = 3000;

// Takes everything and plays nothing.
std::unique_ptr<SoundStream> CreateNullSoundStream();
// Nothing when no output device can be opened.
std::unique_ptr<SoundStream> CreatePortAudioSoundStream();

}  // namespace velto::platform
