#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/Clock.h"
#include "platform/SoundOutput.h"

namespace velto::test {

// A sound output for tests that records what a device would have played, on the clock, so
// that a test can check what the user heard locally. Timing, looping and completions are
// the null output's: a sound lasts its WAV data's play time.
class RecordingSoundOutput final : public platform::SoundOutput {
  public:
    // One sound as heard: from its start until it ran out, was stopped or was replaced.
    struct Segment {
        std::filesystem::path file;
        bool loop = false;
        platform::Millis start{0};
        std::optional<platform::Millis> end;  // none: still playing
        bool completed = false;               // ran to its end (not stopped or replaced)
    };

    explicit RecordingSoundOutput(platform::Clock& clock);

    bool Play(const std::filesystem::path& file, bool loop, Completion onFinished = {}) override;
    void Stop() override;
    bool IsPlaying() const override;
    const char* Name() const override { return "recording"; }

    std::vector<Segment> Segments() const;
    // Runs at the start of every Play (a test may throw from it, as a failing device would).
    void SetBeforePlay(std::function<void(const std::filesystem::path&)> hook);

  private:
    void EndOpenSegmentLocked(bool completed);

    platform::Clock& clock_;
    mutable std::mutex mutex_;
    std::vector<Segment> segments_;
    uint64_t generation_ = 0;
    std::function<void(const std::filesystem::path&)> beforePlay_;
    std::unique_ptr<platform::SoundOutput> timing_;  // last: its thread calls back into us
};

}  // namespace velto::test
