#pragma once

#include <functional>
#include <memory>

#include "callapi/Call.h"
#include "calls/AnsweringPanel.h"
#include "calls/RecordingEcho.h"
#include "platform/Clock.h"
#include "platform/SoundStream.h"

namespace velto::calls {

// The user's hand in a message being recorded: the panel shows who is leaving it, with
// Listen (the caller's voice on the computer's speaker while the recording goes on; the
// microphone stays out of the call) and Pick up. On the handler's thread.
class Screening {
  public:
    // A voice of its own for listening through the recording, where the call cannot put
    // the caller on the speaker itself; empty: such a call cannot be listened to.
    using ListenVoice = std::function<std::unique_ptr<platform::SoundStream>()>;

    // Shows the panel in its screening form.
    Screening(skype::Call& call, AnsweringPanel& panel, ListenVoice listenVoice = {});

    // Pumps the panel and follows Listen (a call that cannot be listened to lets the button
    // out again); true once the user picked up.
    bool PickedUp();
    platform::Millis NextPumpDue() const { return panel_.NextPumpDue(); }
    // The recording is over: listening ends (unless the user picked up, when the devices
    // carry the caller on), and a panel still shown goes, its decision 2.
    void End(bool pickedUp);

  private:
    void StartListening();
    void StopListening();

    skype::Call& call_;
    AnsweringPanel& panel_;
    ListenVoice listenVoice_;
    bool listening_ = false;
    std::unique_ptr<RecordingEcho> echo_;
};

}  // namespace velto::calls
