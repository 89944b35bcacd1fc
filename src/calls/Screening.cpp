#include "calls/Screening.h"

#include "callapi/AutomationError.h"
#include "calls/CallEnd.h"
#include "platform/Trace.h"

namespace velto::calls {
Screening::Screening(skype::Call& call, AnsweringPanel& panel, ListenVoice listenVoice)
    : call_(call), panel_(panel), listenVoice_(std::move(listenVoice)) {
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
        if (listen) {
            StartListening();
        } else {
            StopListening();
        }
    }
    if (echo_) {
        try {
            echo_->Pump(call_.RecordingSoFar());
        } catch (const skype::AutomationError&) {
            // The call is gone: the recording loop ends it all next.
        }
    }
    return false;
}

void Screening::StartListening() {
    try {
        call_.ListenIn(true);
        listening_ = true;
        return;
    } catch (const skype::AutomationError& error) {
        if (!listenVoice_) {
            // The button comes out again: nothing plays.
            platform::Trace("Screening: %s\n", error.what());
            panel_.PressButton(AnsweringPanelModel::kListenButton);
            return;
        }
    }
    platform::Trace("Screening: listening through the recording\n");
    echo_ = std::make_unique<RecordingEcho>(listenVoice_());
    listening_ = true;
}

void Screening::StopListening() {
    listening_ = false;
    if (echo_) {
        echo_.reset();
        return;
    }
    try {
        call_.ListenIn(false);
    } catch (const skype::AutomationError& error) {
        platform::Trace("Screening: %s\n", error.what());
    }
}

void Screening::End(bool pickedUp) {
    if (echo_) {
        echo_.reset();  // a pick-up hands the caller to the devices themselves
    } else if (listening_ && !pickedUp && !IsCallOver(call_.Status())) {
        call_.ListenIn(false);
    }
    listening_ = false;
    if (!pickedUp) {
        panel_.Hide();
        panel_.SetDecision(AnsweringPanel::kDecline);
    }
}

}  // namespace velto::calls
