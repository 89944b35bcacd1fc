#pragma once

#include <string>

#include "callapi/Call.h"
#include "platform/Clock.h"

namespace velto::calls {

// Feeds the ring-back tone into a call as its input and starts it again the moment it
// ends. The tone's length is read from its header once, so the feeder asks the call only
// near the tone's end instead of polling all along: `lead` before the end reckoned from
// the moment the tone was set, then every `rearmPoll` until it has ended. A tone of
// unknown length is asked every `unknownLength`.
class ToneFeeder {
  public:
    ToneFeeder(skype::Call& call, platform::Clock& clock, std::string path, platform::Millis lead,
               platform::Millis rearmPoll, platform::Millis unknownLength);

    // Cuts the computer's devices off, sets the tone as the input and the other two
    // devices to files with no name.
    void Feed();
    // Starts the tone again when it has ended; call it on every pass.
    void KeepPlaying();
    // When KeepPlaying next has something to check.
    platform::Millis NextCheck() const { return nextCheck_; }

    const std::string& path() const { return path_; }
    // Set whenever the tone was (re)started.
    bool played() const { return played_; }
    int plays() const { return plays_; }

  private:
    void Arm();

    skype::Call& call_;
    platform::Clock& clock_;
    std::string path_;
    platform::Millis length_;
    platform::Millis lead_;
    platform::Millis rearmPoll_;
    platform::Millis nextCheck_{0};
    bool played_ = false;
    int plays_ = 0;
};

}  // namespace velto::calls
