#include "calls/CallHandler.h"

#include "calls/CallEnd.h"
#include "calls/CallTimeText.h"
#include "calls/IncomingCall.h"
#include "calls/MissedCall.h"
#include "calls/VideoGuards.h"
#include "platform/Trace.h"

namespace velto::calls {
namespace {

using skype::AutomationError;

// After an unexpected error: the call is hung up and recorded as missed, each step on its
// own so that one failing does not skip the other.
void LetCallGo(CallServices& s, skype::Call& call, const std::string& handle,
               const std::string& timeStamp) {
    try {
        if (!IsCallOver(call.Status())) {
            call.Finish();
        }
    } catch (const std::exception& error) {
        platform::Trace("Incoming-CallHandler: cannot hang up: %s\n", error.what());
    }
    try {
        MissedCall record;
        record.partnerHandle = handle.empty() ? call.PartnerHandle() : handle;
        record.time = timeStamp;
        s.missedCalls.AddSaveAndFlag(std::move(record));
    } catch (const std::exception& error) {
        platform::Trace("Incoming-CallHandler: cannot record the missed call: %s\n", error.what());
    }
}

}  // namespace

CallHandler::CallHandler(CallServices& services, platform::Cookie callCookie)
    : services_(services), cookie_(callCookie) {}

skype::ResultCode CallHandler::Run() {
    skype::ResultCode result = 0;
    if (auto call = services_.table.Get<skype::Call>(cookie_)) {
        result = Dispatch(*call);
        try {
            services_.shared.ActiveCallIds.Erase(call->Id());
        } catch (const AutomationError& error) {
            platform::Trace("CallHandler: call id unreadable, HRESULT: %u(%x)\n",
                            error.unsignedCode(), error.unsignedCode());
        }
    } else {
        platform::Trace("CallHandler: no call under cookie %u\n", cookie_);
    }
    services_.table.Revoke(cookie_);
    return result;
}

skype::ResultCode CallHandler::Dispatch(skype::Call& call) {
    skype::CallType type = skype::CallType::Unknown;
    try {
        type = call.Type();
    } catch (const AutomationError& error) {
        platform::Trace("CallHandler exception with HRESULT: %u(%x)\n", error.unsignedCode(),
                        error.unsignedCode());
        return error.code();
    }
    if (type == skype::CallType::IncomingPstn || type == skype::CallType::IncomingP2P) {
        return Incoming(call);
    }
    return Outgoing(call);
}

skype::ResultCode CallHandler::Outgoing(skype::Call&) {
    platform::Trace("Here is outgoing\n");
    return 0;
}

skype::ResultCode CallHandler::Incoming(skype::Call& call) {
    CallServices& s = services_;
    const std::string timeStamp = CallTimeText(s.clock.WallNow());
    VideoGuards video(s, cookie_);
    IncomingProgress progress;
    skype::ResultCode result = 0;
    try {
        IncomingCall(s, call, video, timeStamp, progress).Run();
    } catch (const AutomationError& error) {
        if (progress.ringing) {
            s.ringer.Stop();
        }
        video.Cancel();
        platform::Trace("Incoming-CallHandler exception with HRESULT: %u(%x)\n",
                        error.unsignedCode(), error.unsignedCode());
        result = error.code();
    } catch (const std::exception& error) {
        // Anything else (a file-system fault, memory) ends the handling, not the call's
        // bookkeeping: the caller is let go and the user still learns of the call.
        platform::Trace("Incoming-CallHandler: ended by an unexpected error: %s\n", error.what());
        if (progress.ringing) {
            s.ringer.Stop();
        }
        video.Cancel();
        if (!progress.settled) {
            LetCallGo(s, call, progress.handle, timeStamp);
        }
    }
    video.WaitEnded();
    return result;
}

void StartCallHandler(CallServices& services, platform::Cookie callCookie) {
    services.workers.Start("call-handler",
                           [&services, callCookie] { CallHandler(services, callCookie).Run(); });
}

}  // namespace velto::calls
