#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "backends/sim/SimWav.h"
#include "platform/Clock.h"

namespace velto::skype::sim {

// What a caller says: a loaded voice (repeated when it runs out) or, without one, a
// generated 440 Hz tone in syllables (400 ms of tone, 100 ms of pause), as speech pauses;
// after the time given to TalkFor, silence.
class CallerVoice {
  public:
    CallerVoice() = default;
    explicit CallerVoice(std::shared_ptr<const std::vector<int16_t>> samples)
        : samples_(std::move(samples)) {}

    int16_t SampleAt(uint64_t index) const;
    void TalkFor(platform::Millis span);
    bool IsGenerated() const { return !samples_ || samples_->empty(); }

  private:
    std::shared_ptr<const std::vector<int16_t>> samples_;
    uint64_t talkSamples_ = UINT64_MAX;
};

// Records the caller's voice into a file set as a call's output, in time order: each
// Advance writes the samples of the time passed since the last one.
class CallRecorder {
  public:
    CallRecorder(CallerVoice voice, std::filesystem::path path)
        : voice_(voice), path_(std::move(path)) {}

    // False (with `error`) when the file cannot be created.
    bool Start(platform::Millis now, std::string* error);
    // Writes the voice up to `now`; `live` false means the call was not in progress since
    // the last Advance, which writes nothing.
    void Advance(platform::Millis now, bool live);
    // Finishes the file; false when any write failed.
    bool Finish(platform::Millis now, bool live);

    const std::filesystem::path& path() const { return path_; }

  private:
    CallerVoice voice_;
    std::filesystem::path path_;
    WavWriter writer_;
    platform::Millis until_{0};
    uint64_t position_ = 0;
};

}  // namespace velto::skype::sim
