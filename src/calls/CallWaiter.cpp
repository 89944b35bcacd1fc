#include "calls/CallWaiter.h"

#include <utility>

namespace velto::calls {

CallWaiter::CallWaiter(platform::Clock& clock, skype::Call& call) : changed_(clock) {
    watch_ = call.Watch([this](skype::CallChange change) { Report(change); });
}

CallWaiter::~CallWaiter() {
    watch_.reset();
}

void CallWaiter::Report(skype::CallChange change) {
    std::lock_guard guard(mutex_);
    events_.Add(change);
    changed_.NotifyAll();
}

void CallWaiter::Wake() {
    std::lock_guard guard(mutex_);
    events_.AddWoken();
    changed_.NotifyAll();
}

CallEvents CallWaiter::WaitUntil(platform::Millis deadline) {
    std::unique_lock lock(mutex_);
    changed_.WaitUntil(lock, deadline, [&] { return !events_.none(); });
    return std::exchange(events_, CallEvents{});
}

}  // namespace velto::calls
