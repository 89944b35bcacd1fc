#pragma once

#include <functional>
#include <mutex>
#include <string>

#include "platform/Clock.h"

namespace velto::skype::sip {

// Where the running program's SIP account stands, as the SIP backend last told it.
struct RegistrationState {
    enum class Phase {
        Starting,     // the backend has said nothing yet
        NotSetUp,     // no account, or one that cannot be used (`reason` says why)
        Registering,  // the registrar's answer is awaited
        Registered,   // at `proxy` over `transport` since `when`, for `expires` seconds
        Direct,       // no registrar: peers call the listening address directly
        Failed,       // `reason`; tried again at `when`
    };
    Phase phase = Phase::Starting;
    std::string proxy;
    std::string transport;  // "UDP", "TCP", "TLS"
    std::string reason;
    platform::WallTime when{};
    int expires = 0;
};

// The running program's side of its SIP account, shared by the program and the SIP
// backend module: the backend publishes the registration state here, the program's
// windows read it and ask the backend to take a changed account without a restart.
// Thread-safe.
class AccountLink {
  public:
    using Listener = std::function<void()>;

    // The backend (SIP thread).
    void Publish(RegistrationState state);
    // The backend's way to take the account again; empty when the backend goes.
    void SetReloader(std::function<void()> reload);

    RegistrationState Current() const;
    // Called on the publishing thread after each change (it should only post); empty:
    // none. Setting waits for a call under way, so a listener cleared is never called.
    void SetListener(Listener listener);
    // Asks the backend to read the account again and register with it. False when no
    // backend is there to take it (it reads the account when it starts).
    bool Reload();

  private:
    mutable std::mutex mutex_;
    RegistrationState state_;
    std::function<void()> reload_;
    std::mutex listenerMutex_;
    Listener listener_;
};

}  // namespace velto::skype::sip
