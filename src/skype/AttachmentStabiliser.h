#pragma once

#include <memory>
#include <mutex>

#include "platform/Clock.h"
#include "skype/SkypeContext.h"

namespace velto::skype {

// Counts the running attachment stabilisers and lets shut-down stop them early.
class StabiliserGate {
  public:
    explicit StabiliserGate(platform::Clock& clock) : changed_(clock) {}

    void Enter();
    void Leave();
    int Running() const;
    // Sleeps for `duration` on the clock; false (at once) when stopped.
    bool Sleep(platform::Millis duration);
    void Stop();

  private:
    mutable std::mutex mutex_;
    platform::ClockCondition changed_;
    bool stop_ = false;
    int running_ = 0;
};

// Polling periods of the stabiliser.
inline constexpr platform::Millis kRegisterPoll{200};
inline constexpr platform::Millis kConnectionPoll{200};
inline constexpr platform::Millis kContactPoll{100};
// The contact list counts as settled once its contacts and their names stayed the same
// this long.
inline constexpr platform::Millis kContactsStill{1000};
// The list is shown at the latest this long after the first snapshot, settled or not. A
// client hands its whole contact list over within a few seconds of sign-in; a list whose
// names still change after ten seconds is being edited, not loaded, and the user should
// not wait for it: the refreshes of the contact-status gathering keep it current.
inline constexpr platform::Millis kContactsSettleCap{10000};

// Starts one stabiliser thread (one per grant of access): it waits until the Skype object
// is registered and attached, makes the user's own folder, waits until the contact list
// has settled (or for at most kContactsSettleCap), then sends WM_UPDATELIST (1, 1) to the main
// window and posts WM_CONTACTS_STABLE. `context` and `gate` must outlive the thread.
void StartAttachmentStabiliser(const SkypeContext& context, StabiliserGate& gate);

// The thread's routine.
void RunAttachmentStabiliser(const SkypeContext& context, StabiliserGate& gate);

}  // namespace velto::skype
