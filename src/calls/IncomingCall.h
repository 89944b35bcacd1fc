#pragma once

#include <memory>
#include <optional>
#include <string>

#include "callapi/Call.h"
#include "callapi/Skype.h"
#include "calls/AnsweringPanel.h"
#include "calls/CallRules.h"
#include "calls/CallServices.h"
#include "calls/CallWaiter.h"
#include "calls/RingBackTone.h"
#include "calls/ToneFeeder.h"
#include "calls/VideoGuards.h"
#include "platform/StopSignal.h"

namespace velto::calls {

// What the call handler needs to know of an incoming call when its flow fails half way.
struct IncomingProgress {
    std::string handle;    // the caller, once read
    bool ringing = false;  // the local ring tone plays
    bool settled = false;  // handed to the user, declined, or recorded as missed
};

// The flow of one incoming call, from the answer to the call's end, as a small state
// machine on the handler's thread. Each phase waits on what the call reports (its status,
// its video, the end of the tone), on the panel's decision, on quitting and on the clock,
// and names the phase that follows. Automation errors leave it to the handler.
class IncomingCall {
  public:
    IncomingCall(CallServices& services, skype::Call& call, VideoGuards& video,
                 const std::string& timeStamp, IncomingProgress& progress);

    void Run();

  private:
    enum class Phase {
        ToneOnly,  // the tone alone, before the panel shows
        Ringing,   // the panel rings the user while the tone plays
        Decided,   // the ringing is over: what now
        Taken,     // the user took the call
        Declined,  // the user declined it: ended, or the machine with the busy greeting
        Missed,    // the caller hung up first
        Quitting,  // the program quits while the call rings
        Machine,   // the ring time ran out: the answering machine
        Ending,    // waiting for the call to be over
        Ended,
    };

    // The user's rules decide first; a refused call ends here.
    bool ApplyRules();
    void Answer();
    void StartTone();
    std::string RuleTonePath(const rules::ToneChoice& tone) const;
    std::optional<std::u16string> RuleToneLabel(const rules::ToneChoice& tone) const;
    std::filesystem::path RingTonePath() const;
    std::optional<platform::Millis> RingLimit() const;
    std::u16string ToneMessage(const std::optional<std::u16string>& label, skype::Skype* skype);
    Phase Step(Phase phase);
    Phase ToneOnly();
    Phase Ringing();
    Phase Decided();
    void HandOver();
    Phase Declined();
    // `declined`: the machine answers a call the user declined.
    Phase Untaken(Phase phase, bool declined = false);
    Phase Ending();
    // What every waiting phase does with the call's reports: the tone is set again when it
    // has ended, and video that starts is stopped.
    // `look`: a look to be safe, with no report.
    void KeepTone(const CallEvents& events, bool look = false);
    void GuardVideo(const CallEvents& events);

    CallServices& s_;
    skype::Call& call_;
    VideoGuards& video_;
    const std::string& timeStamp_;
    IncomingProgress& progress_;
    platform::StopSignal& stop_;
    // Every wait of this call sleeps until the call reports a change, the panel's
    // decision wakes it, or a moment it knows of comes.
    CallWaiter waiter_;
    // Quitting wakes every wait of the call, which then lets the call go.
    platform::StopSignal::Subscription wakeOnStop_;
    std::optional<ToneFeeder> tone_;
    std::unique_ptr<AnsweringPanel> panel_;  // after the waiter, which it wakes
    ToneFolders folders_;
    RuleOutcome rule_;
};

}  // namespace velto::calls
