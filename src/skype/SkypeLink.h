#pragma once

#include <memory>

#include "callapi/SkypeFactory.h"
#include "skype/ApplicationChannel.h"
#include "skype/ApplicationEventHandler.h"
#include "skype/AttachmentStabiliser.h"
#include "skype/EventGuard.h"
#include "skype/SkypeContext.h"
#include "skype/SkypeEventHandler.h"

namespace velto::skype {

// The program's link to the Skype client: the Skype object, its two event sinks, the
// application channel and the attachment stabilisers. Lives on the main thread.
class SkypeLink {
  public:
    explicit SkypeLink(SkypeContext context);
    // Stops the stabilisers and releases Skype.
    ~SkypeLink();
    SkypeLink(const SkypeLink&) = delete;
    SkypeLink& operator=(const SkypeLink&) = delete;

    // Start-up: creates the Skype object through `factory` (null: no Skype here), its
    // event sink, its interface-table entry and the application sink, and asks Skype to
    // attach without waiting. Without a Skype object the program runs with
    // SkypeNotAvailable set and nothing else happens.
    void SetUpSkype(SkypeFactory* factory);

    // The main window's destruction: releases the Skype object, revokes SkypeCookie and
    // destroys the event sinks (which unsubscribes them).
    void ReleaseSkype();

    // Shut-down: stabilisers end at their next wait. Runs the main loop (so that one
    // sending WM_UPDATELIST is served) until they have ended or `timeout` has passed.
    // Main thread only. True when none is left.
    bool StopStabilisers(platform::Millis timeout = platform::Millis(5000));

    // The Skype object (SkypeObject); null without Skype or after ReleaseSkype.
    std::shared_ptr<Skype> SkypeObject() const { return skype_; }
    ApplicationChannel& channel() { return channel_; }
    int RunningStabilisers() const { return gate_.Running(); }
    const SkypeContext& context() const { return context_; }

  private:
    SkypeContext context_;
    ApplicationChannel channel_;
    StabiliserGate gate_;
    EventGuard guard_;
    std::shared_ptr<Skype> skype_;
    std::unique_ptr<SkypeEventHandler> eventHandler_;
    std::unique_ptr<ApplicationEventHandler> applicationHandler_;
};

}  // namespace velto::skype
