#include "calls/CallWaiter.h"

namespace velto::calls {

CallWaiter::CallWaiter(platform::Clock& clock, skype::Call& call) : changed_(clock) {
    watch_ = call.Watch([this] { Wake(); });
}

CallWaiter::~CallWaiter() {
    watch_.reset();
}

void CallWaiter::Wake() {
    std::lock_guard guard(mutex_);
    woken_ = true;
    changed_.NotifyAll();
}

void CallWaiter::WaitUntil(platform::Millis deadline) {
    std::unique_lock lock(mutex_);
    changed_.WaitUntil(lock, deadline, [&] { return woken_; });
    woken_ = false;
}

}  // namespace velto::calls
