#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "callapi/Call.h"
#include "calls/AnsweringPanel.h"
#include "calls/CallGreeting.h"
#include "calls/CallServices.h"
#include "calls/CallWaiter.h"

namespace velto::calls {

// What the call handler hands over when a call ends without the user.
struct UntakenCall {
    skype::Call& call;
    std::string partnerHandle;
    std::string timeStamp;  // when handling began
    AnsweringPanel& panel;
    std::function<void()> cancelVideo;
    CallWaiter& waiter;  // woken by the call's changes
    // What chooses the greeting: the rule's, the user's decline (the busy greeting), the
    // caller's own. A declined call's record is marked busy.
    GreetingRequest greeting{};
    // The user picked up while the caller left a message: the call goes to the user's
    // sound devices, as a taken call does (which also ends the recording).
    std::function<void()> pickUp{};
};

// The caller hung up while the call rang: a record without a voice message.
void RecordMissedCall(CallServices& services, UntakenCall& untaken);

// The ring time ran out: greeting, "DingDong.wav", then the caller's message recorded
// into the user's "VoiceMessage" folder for at most the record limit, after which the
// call is hung up. Meanwhile the panel lets the user listen in or pick up. The record is
// added when the call is over, or (with what was said so far) once the user picked up.
void AnswerByMachine(CallServices& services, UntakenCall& untaken);

}  // namespace velto::calls
