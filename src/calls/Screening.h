#pragma once

#include "callapi/Call.h"
#include "calls/AnsweringPanel.h"
#include "platform/Clock.h"

namespace velto::calls {

// The user's hand in a message being recorded: the panel shows who is leaving it, with
// Listen (the caller's voice on the computer's speaker while the recording goes on; the
// microphone stays out of the call) and Pick up. On the handler's thread.
class Screening {
  public:
    // Shows the panel in its screening form.
    Screening(skype::Call& call, AnsweringPanel& panel);

    // Pumps the panel and follows Listen (a call that cannot be listened to lets the button
    // out again); true once the user picked up.
    bool PickedUp();
    platform::Millis NextPumpDue() const { return panel_.NextPumpDue(); }
    // The recording is over: listening ends (unless the user picked up, when the devices
    // carry the caller on), and a panel still shown goes, its decision 2.
    void End(bool pickedUp);

  private:
    skype::Call& call_;
    AnsweringPanel& panel_;
    bool listening_ = false;
};

}  // namespace velto::calls
