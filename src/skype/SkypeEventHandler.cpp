#include "skype/SkypeEventHandler.h"

#include "core/Messages.h"
#include "platform/Trace.h"

namespace velto::skype {

using platform::Trace;

SkypeEventHandler::SkypeEventHandler(const SkypeContext& context, std::shared_ptr<Skype> skype,
                                     ApplicationChannel& channel, StabiliserGate& gate,
                                     EventGuard& guard)
    : context_(context),
      skype_(std::move(skype)),
      guard_(guard),
      attachment_(context, *skype_, channel, gate),
      calls_(context) {
    advised_ = skype_->Advise(*this);
    if (!advised_) {
        Trace("DislEventAdvise Error!\n");
    }
}

SkypeEventHandler::~SkypeEventHandler() {
    if (advised_) {
        skype_->Unadvise(*this);
    }
}

void SkypeEventHandler::OnEvent(const Event& event) {
    guard_.Run(event, "SkypeEventHandler", [&] {
        switch (event.id) {
            case EventId::AttachmentStatus:
                attachment_.OnAttachmentStatus(event.Int(0));
                break;
            case EventId::UserStatus:
                Trace("User status changed\n");
                context_.state.MyStatus.store(event.Int(0));
                break;
            case EventId::OnlineStatus:
                OnOnlineStatus(*event.Object<User>(0));
                break;
            case EventId::CallStatus:
                calls_.OnCallStatus(*event.Object<Call>(0), event.Int(1));
                break;
            default:
                break;
        }
    });
}

void SkypeEventHandler::OnOnlineStatus(User& user) {
    Trace("Online Status Changed...Post WM_UPDATEUSERSTATUS\n");
    const platform::Cookie cookie = user.RegisterIn(context_.table);
    // The receiver revokes the cookie; with no window to receive it, nobody would.
    if (!context_.windows.PostMessage(context_.state.MainWindowHandle, core::WM_UPDATEUSERSTATUS,
                                      cookie, 0)) {
        context_.table.Revoke(cookie);
    }
}

}  // namespace velto::skype
