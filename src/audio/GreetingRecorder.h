#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/SoundInput.h"
#include "platform/Workers.h"

namespace velto::audio {

// Records a greeting from the microphone: one take at a time, held in memory, which ends when
// the user stops it or when it has lasted the longest time allowed (on the clock). A take
// becomes a 16 kHz mono 16-bit WAV file only when saved; dropping the recorder writes
// nothing. Start, Stop and the readers may come from any thread.
class GreetingRecorder {
  public:
    static constexpr platform::Millis kLongest{60000};
    // Something changed: a block arrived (a new level) or the take ended. Called on the
    // input's thread or the recorder's own, never under the recorder's lock; it must not
    // call Start or Stop.
    using Changed = std::function<void()>;

    GreetingRecorder(platform::Clock& clock, platform::SoundInput& input,
                     platform::Millis longest = kLongest);
    // Stops a take that still runs.
    ~GreetingRecorder();
    GreetingRecorder(const GreetingRecorder&) = delete;
    GreetingRecorder& operator=(const GreetingRecorder&) = delete;

    // False: the system has no microphone.
    bool HasDevice() const { return input_.HasDevice(); }
    // Starts a new take in place of the last one; anything but Started leaves no take.
    platform::InputStart Start(Changed changed);
    // Ends the take; it is kept. Idle: nothing.
    void Stop();

    bool Recording() const;
    // The take's time on the clock: growing while it records, at most Longest().
    platform::Millis Elapsed() const;
    platform::Millis Longest() const { return longest_; }
    // The loudest sample of the last block, 0 (silence) to 1 (full scale).
    double Level() const;
    // An ended take with samples.
    bool HasTake() const;
    // The ended take as a whole WAV file; empty while recording or without a take.
    std::string TakeWav() const;
    // Writes the ended take to `target`, replacing it whole or not at all. Empty on success,
    // else the reason.
    std::string Save(const std::filesystem::path& target) const;

  private:
    void Take(std::span<const int16_t> block);
    // Ends the capture once, from whichever thread comes first.
    void End();
    void WatchLimit(uint64_t take);

    platform::Clock& clock_;
    platform::SoundInput& input_;
    const platform::Millis longest_;
    const size_t mostSamples_;
    mutable std::mutex mutex_;
    platform::ClockCondition changed_;
    bool recording_ = false;
    uint64_t take_ = 0;  // counts the takes, so that a watcher knows its own
    platform::Millis startedAt_{0};
    platform::Millis elapsed_{0};  // of an ended take
    double level_ = 0;
    std::vector<int16_t> samples_;
    Changed onChange_;
    platform::Workers workers_;  // last: the limit's watcher uses the members above
};

}  // namespace velto::audio
