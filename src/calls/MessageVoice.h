#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "audio/RecordingReader.h"
#include "audio/SilenceDetector.h"
#include "platform/Clock.h"

namespace velto::calls {

// How much voice a caller's message holds, and how long the caller has been silent,
// judged from the recording as it grows (and from the message once it is in place).
class MessageVoice {
  public:
    // Judges what `file` holds beyond what was judged before, at `now`: the recording
    // while it grows, or the finished message (the same samples, moved). False while the
    // file cannot be read yet; the next call catches up.
    bool Update(const std::filesystem::path& file, bool growing, platform::Millis now);

    // Nothing judged yet: no silence and no voice.
    uint64_t VoiceMs() const { return detector_ ? detector_->VoiceMs() : 0; }
    uint64_t JudgedMs() const { return detector_ ? detector_->JudgedMs() : 0; }
    // The silence at the recording's end, and the time since the recording last grew: a
    // line that sends nothing while the caller is silent records nothing either.
    uint64_t SilenceMs(platform::Millis now) const;
    // Why the last Update failed.
    const std::string& error() const { return error_; }

  private:
    audio::RecordingReader reader_;
    std::optional<audio::SilenceDetector> detector_;
    std::vector<int16_t> samples_;
    std::string error_;
    platform::Millis grew_{0};  // when the recording last grew
};

}  // namespace velto::calls
