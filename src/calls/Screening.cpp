#include "calls/Screening.h"

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
        listening_ = listen;
        platform::Trace("Screening: listening %s\n", listen ? "on" : "off");
        call_.ListenIn(listen);
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
