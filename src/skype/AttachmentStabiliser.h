#pragma once

#include <memory>
#include <mutex>

#include "platform/Clock.h"
#include "skype/SkypeContext.h"

namespace velto::skype {

// Counts the running attachment stabilisers and lets shut-down stop them early. Copies
// share one state: each stabiliser keeps a copy, so the link may go while a stabiliser is
// still inside a Skype call that does not return.
class StabiliserGate {
  public:
    explicit StabiliserGate(platform::Clock& clock) : shared_(std::make_shared<Shared>(clock)) {}

    void Enter();
    void Leave();
    int Running() const;
    // Sleeps for `duration` on the clock; false (at once) when stopped.
    bool Sleep(platform::Millis duration);
    void Stop();

  private:
    struct Shared {
        explicit Shared(platform::Clock& clock) : changed(clock) {}
        std::mutex mutex;
        platform::ClockCondition changed;
        bool stop = false;
        int running = 0;
    };
    std::shared_ptr<Shared> shared_;
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
// window and posts WM_CONTACTS_STABLE. The thread keeps its own copies of `context` and
// `gate`: the objects the context refers to must outlive it (the program joins its workers
// before they go).
void StartAttachmentStabiliser(const SkypeContext& context, const StabiliserGate& gate);

// The thread's routine.
void RunAttachmentStabiliser(const SkypeContext& context, StabiliserGate& gate);

}  // namespace velto::skype
