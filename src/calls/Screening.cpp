#include "calls/Screening.h"

#include "callapi/AutomationError.h"
#include "calls/CallEnd.h"
#include "platform/Trace.h"

namespace velto::calls {

Screening::Screening(skype::Call& call, AnsweringPanel& panel) : call_(call), panel_(panel) {
    panel_.Screen();
}

bool Screening::PickedUp() {
    panel_.PumpMessages();
    if (panel_.Decision() == AnsweringPanel::kTake) {
        return true;
    }
    const bool listen = panel_.Listening();
    if (listen != listening_) {
        platform::Trace("Screening: listening %s\n", listen ? "on" : "off");
        try {
            call_.ListenIn(listen);
            listening_ = listen;
        } catch (const skype::AutomationError& error) {
            // The button comes out again: nothing plays.
            platform::Trace("Screening: %s\n", error.what());
            panel_.PressButton(AnsweringPanelModel::kListenButton);
        }
    }
    return false;
}

void Screening::End(bool pickedUp) {
    if (listening_ && !pickedUp && !IsCallOver(call_.Status())) {
        call_.ListenIn(false);
    }
    listening_ = false;
    if (!pickedUp) {
        panel_.Hide();
        panel_.SetDecision(AnsweringPanel::kDecline);
    }
}

}  // namespace velto::calls
