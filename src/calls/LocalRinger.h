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
    // A peer's "SP": the output falls silent now, whatever plays on it. The calls still
    // ring as far as the counting goes, and the next call that starts ringing is heard.
    void Silence();
    int ringing() const;

  private:
    platform::SoundOutput& output_;
    mutable std::mutex mutex_;
    int ringing_ = 0;
    bool silenced_ = false;
};

}  // namespace velto::calls
