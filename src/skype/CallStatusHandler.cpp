#include "skype/CallStatusHandler.h"

#include "platform/Trace.h"

namespace velto::skype {

using platform::Trace;

void CallStatusHandler::OnCallStatus(Call& call, int32_t status) {
    Trace("Call Status!!!\n");
    Trace("Partner Handle: %s\n", call.PartnerHandle().c_str());
    Trace("Status: %d\n", static_cast<int>(status));

    const CallType type = call.Type();
    if (type == CallType::Unknown) {
        Trace("Unknow Type Of Call\n");
        return;
    }
    if (type == CallType::IncomingPstn) {
        Trace("Skype in, don't pick it up\n");
        return;
    }
    switch (static_cast<CallStatus>(status)) {
        case CallStatus::Failed:
        case CallStatus::Finished:
        case CallStatus::Missed:
        case CallStatus::Refused:
            return;
        case CallStatus::Busy:
            // Turned away before any handling (too many calls at once): the user still
            // learns of it. A call already handled ends in its own handler.
            if (!context_.state.ActiveCallIds.Contains(call.Id()) &&
                context_.hooks.recordBusyCall) {
                context_.hooks.recordBusyCall(call.PartnerHandle());
            }
            return;
        default:
            break;
    }

    const int32_t id = call.Id();
    core::ActiveCallSet& active = context_.state.ActiveCallIds;
    if (!active.Insert(id)) {
        return;  // its handler follows the later changes itself
    }
    const platform::Cookie cookie = call.RegisterIn(context_.table);
    if (!context_.hooks.startCallHandler) {
        Trace("Call %d: no call handler in this program\n", static_cast<int>(id));
        context_.table.Revoke(cookie);
        active.Erase(id);
        return;
    }
    context_.hooks.startCallHandler(cookie);
}

}  // namespace velto::skype
