#pragma once

#include <filesystem>
#include <mutex>

#include "platform/SoundOutput.h"

namespace velto::calls {

// Rings the local user through the sound output while any call rings: the first call
// starts the looping ring tone, the last one to stop ends it, so that one call's decision
// never silences another call that still rings.
class LocalRinger {
  public:
    explicit LocalRinger(platform::SoundOutput& output) : output_(output) {}

    void Start(const std::filesystem::path& file);
    void Stop();
    int ringing() const;

  private:
    platform::SoundOutput& output_;
    mutable std::mutex mutex_;
    int ringing_ = 0;
};

}  // namespace velto::calls
