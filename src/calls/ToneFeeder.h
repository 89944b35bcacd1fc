#pragma once

#include <string>

#include "callapi/Call.h"
#include "platform/Clock.h"

namespace velto::calls {

// Feeds the ring-back tone into a call as its input and sets it again when the call
// reports that it has played to its end: nothing asks the call in between. A tone that
// ends well before its length (a file the call cannot play) is set again only after a
// pause, so that a broken file costs a try now and then, not a busy loop.
class ToneFeeder {
  public:
    ToneFeeder(skype::Call& call, platform::Clock& clock, std::string path,
               platform::Millis retryPause);

    // Cuts the computer's devices off, then sets the tone as the input and the other two
    // devices to files with no name.
    void Feed();
    // On the call's report that the input has ended, on RetryDue, or on a look to be
    // safe: sets the tone again when it is no longer playing.
    void KeepPlaying();
    // When KeepPlaying must look without a report; Millis::max() for never.
    platform::Millis RetryDue() const { return retryDue_; }

    const std::string& path() const { return path_; }
    // Set whenever the tone was (re)started.
    bool played() const { return played_; }
    int plays() const { return plays_; }

  private:
    skype::DeviceSettings Tone() const;

    skype::Call& call_;
    platform::Clock& clock_;
    std::string path_;
    // How long after being set the tone may end and be set again at once.
    platform::Millis shortest_;
    platform::Millis armedAt_{0};
    platform::Millis retryDue_ = platform::Millis::max();
    bool played_ = false;
    int plays_ = 0;
};

}  // namespace velto::calls
