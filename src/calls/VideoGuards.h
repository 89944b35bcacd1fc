#pragma once

#include <optional>

#include "callapi/Call.h"
#include "calls/CallServices.h"
#include "calls/VideoThread.h"
#include "platform/InterfaceTable.h"

namespace velto::calls {

// The two video guards of one incoming call, started only once the call carries video:
// a voice call costs no guard threads at all.
class VideoGuards {
  public:
    VideoGuards(const CallServices& services, platform::Cookie callCookie)
        : services_(services), cookie_(callCookie) {}

    // Starts both guards (send first) when either direction of `call` has video; look
    // again whenever the call has changed, until the call is decided.
    void StartIfVideo(skype::Call& call);
    bool started() const { return send_.has_value(); }

    void Resume();
    void Cancel();
    // Waits until both have ended; at once when they never started.
    void WaitEnded();

  private:
    const CallServices& services_;
    platform::Cookie cookie_;
    std::optional<VideoThread> send_;
    std::optional<VideoThread> receive_;
};

}  // namespace velto::calls
