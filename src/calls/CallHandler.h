#pragma once

#include <cstdint>
#include <memory>

#include "callapi/AutomationError.h"
#include "callapi/Call.h"
#include "calls/CallServices.h"
#include "platform/InterfaceTable.h"

namespace velto::calls {

// The worker of one call. For an incoming call it takes the call over before the user can
// pick it up: answers it with the computer's sound devices cut off, plays the caller's
// ring-back tone into it, tells the caller by chat which tone that is, rings the user with
// the answering panel, and then hands the call to the user, hangs up, records a missed
// call or lets the answering machine take it. It lives until the call is over, then takes
// the call's id out of the active calls and revokes the call's cookie.
class CallHandler {
  public:
    // `callCookie` names the call in the interface table; from now on the handler owns it.
    CallHandler(CallServices& services, platform::Cookie callCookie);

    // The routine: returns 0, or the failing automation code.
    skype::ResultCode Run();

  private:
    skype::ResultCode Dispatch(skype::Call& call);
    skype::ResultCode Incoming(skype::Call& call);
    skype::ResultCode Outgoing(skype::Call& call);

    CallServices& services_;
    platform::Cookie cookie_;
};

// Starts a self-ending CallHandler thread for the call registered under `callCookie` (the
// call's id is already in ActiveCallIds).
void StartCallHandler(CallServices& services, platform::Cookie callCookie);

}  // namespace velto::calls
