#include "sipaccount/AccountLink.h"

namespace velto::skype::sip {

void AccountLink::Publish(RegistrationState state) {
    {
        std::lock_guard guard(mutex_);
        state_ = std::move(state);
    }
    std::lock_guard guard(listenerMutex_);
    if (listener_) {
        listener_();
    }
}

void AccountLink::SetReloader(std::function<void()> reload) {
    std::lock_guard guard(mutex_);
    reload_ = std::move(reload);
}

RegistrationState AccountLink::Current() const {
    std::lock_guard guard(mutex_);
    return state_;
}

void AccountLink::SetListener(Listener listener) {
    std::lock_guard guard(listenerMutex_);
    listener_ = std::move(listener);
}

bool AccountLink::Reload() {
    std::function<void()> reload;
    {
        std::lock_guard guard(mutex_);
        reload = reload_;
    }
    // Outside the lock: the backend may go (and clear its reloader) meanwhile.
    if (!reload) {
        return false;
    }
    reload();
    return true;
}

}  // namespace velto::skype::sip
