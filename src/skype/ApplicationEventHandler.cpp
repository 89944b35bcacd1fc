#include "skype/ApplicationEventHandler.h"

#include "callapi/ApplicationStreamCollection.h"
#include "platform/Trace.h"

namespace velto::skype {

using platform::Trace;

ApplicationEventHandler::ApplicationEventHandler(std::shared_ptr<Skype> skype,
                                                 ApplicationChannel& channel, EventGuard& guard)
    : skype_(std::move(skype)), channel_(channel), guard_(guard) {
    advised_ = skype_->Advise(*this);
    if (!advised_) {
        Trace("DispEventAdvise Error!\n");
    }
}

ApplicationEventHandler::~ApplicationEventHandler() {
    if (advised_) {
        skype_->Unadvise(*this);
    }
}

void ApplicationEventHandler::OnEvent(const Event& event) {
    guard_.Run(event, "ApplicationEventHandler", [&] {
        switch (event.id) {
            case EventId::ApplicationConnecting:
                Trace("App Connecting\n");
                break;
            case EventId::ApplicationStreams:
                channel_.OnStreams(*event.Object<ApplicationStreamCollection>(1));
                break;
            case EventId::ApplicationDatagram:
                Trace("App Datagram\n");
                break;
            case EventId::ApplicationSending:
                Trace("App Sending\n");
                break;
            case EventId::ApplicationReceiving:
                channel_.OnReceiving(*event.Object<ApplicationStreamCollection>(1));
                break;
            default:
                break;
        }
    });
}

}  // namespace velto::skype
