#pragma once

#include <memory>
#include <mutex>

#include "callapi/Call.h"
#include "platform/Clock.h"

namespace velto::calls {

// Lets a call's worker sleep until something happens: the call changes (its status or
// video, as the backend signals through Call::Watch), someone calls Wake (the panel's
// decision), or a deadline the worker knows of comes. Nothing is lost between two waits:
// a wake-up that comes while the worker is busy ends its next wait at once.
class CallWaiter {
  public:
    // Watches `call` (a reference obtained on this thread) until destroyed.
    CallWaiter(platform::Clock& clock, skype::Call& call);
    ~CallWaiter();
    CallWaiter(const CallWaiter&) = delete;
    CallWaiter& operator=(const CallWaiter&) = delete;

    // From any thread.
    void Wake();
    // Returns when woken (perhaps before this call) or at `deadline`.
    void WaitUntil(platform::Millis deadline);

    platform::Clock& clock() const { return changed_.clock(); }

  private:
    std::mutex mutex_;
    platform::ClockCondition changed_;
    bool woken_ = false;
    std::unique_ptr<skype::CallWatch> watch_;  // last: its signals use the members above
};

}  // namespace velto::calls
