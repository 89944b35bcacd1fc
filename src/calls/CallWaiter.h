#pragma once

#include <memory>
#include <mutex>

#include "callapi/Call.h"
#include "platform/Clock.h"

namespace velto::calls {

// What happened since a call's worker last looked; several things at once are possible.
class CallEvents {
  public:
    bool statusChanged() const { return Has(kStatus); }
    bool videoChanged() const { return Has(kVideo); }
    bool inputEnded() const { return Has(kInputEnded); }
    // Someone called Wake: the panel's decision, or quitting.
    bool woken() const { return Has(kWoken); }
    // Nothing: the wait ran out.
    bool none() const { return bits_ == 0; }

    void Add(skype::CallChange change) {
        bits_ |= change == skype::CallChange::Status  ? kStatus
                 : change == skype::CallChange::Video ? kVideo
                                                      : kInputEnded;
    }
    void AddWoken() { bits_ |= kWoken; }

  private:
    static constexpr unsigned kStatus = 1, kVideo = 2, kInputEnded = 4, kWoken = 8;
    bool Has(unsigned bit) const { return (bits_ & bit) != 0; }
    unsigned bits_ = 0;
};

// Lets a call's worker sleep until something happens: the call reports a change (its
// status, its video, the end of its input file, through Call::Watch), someone calls Wake
// (the panel's decision, quitting), or a deadline the worker knows of comes. Nothing is
// lost between two waits: what comes while the worker is busy ends its next wait at once.
class CallWaiter {
  public:
    // Watches `call` (a reference obtained on this thread) until destroyed.
    CallWaiter(platform::Clock& clock, skype::Call& call);
    ~CallWaiter();
    CallWaiter(const CallWaiter&) = delete;
    CallWaiter& operator=(const CallWaiter&) = delete;

    // From any thread.
    void Wake();
    // Returns what happened since the last wait (perhaps before this call), or nothing
    // at `deadline`.
    CallEvents WaitUntil(platform::Millis deadline);

    platform::Clock& clock() const { return changed_.clock(); }

  private:
    void Report(skype::CallChange change);

    std::mutex mutex_;
    platform::ClockCondition changed_;
    CallEvents events_;
    std::unique_ptr<skype::CallWatch> watch_;  // last: its reports use the members above
};

}  // namespace velto::calls
