#pragma once

#include <cstdint>
#include <string>

#include "platform/Clock.h"

namespace velto::ui {

// Where the playback of one voice message stands, from the clock: the player only starts
// and stops sounds, so the position is the point playing started from plus the clock time
// since. Clamped to the message's length.
class MessagePosition {
  public:
    enum class State { Stopped, Playing, Paused };

    explicit MessagePosition(uint32_t totalMs) : totalMs_(totalMs) {}

    // Plays from the paused point, or from the start; returns the point to play from.
    uint32_t Play(platform::Millis now);
    // Holds the point reached.
    void Pause(platform::Millis now);
    // Moves to `ms` (at most the length); playing goes on from there. Returns the point.
    uint32_t Seek(uint32_t ms, platform::Millis now);
    // The sound played to its end: stopped, and the next play starts from the beginning.
    void Finished();

    uint32_t ElapsedMs(platform::Millis now) const;
    uint32_t totalMs() const { return totalMs_; }
    State state() const { return state_; }

  private:
    uint32_t totalMs_;
    State state_ = State::Stopped;
    uint32_t fromMs_ = 0;  // the point the current or last play started from
    platform::Millis startedAt_{0};
};

// A play time as the player shows it: "m:ss" in whole seconds (rounded down), "h:mm:ss"
// from an hour.
std::u16string PlayTimeText(uint32_t ms);

}  // namespace velto::ui
