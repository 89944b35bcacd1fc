#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "calls/CallServices.h"
#include "platform/Clock.h"
#include "platform/InterfaceTable.h"

namespace velto::calls {

// Keeps one direction of a call's video stopped while the tone plays and the panel rings:
// it stops video that starts or runs, and starts it again only when the user takes the
// call. Runs on a thread of its own, reaches the call through its cookie, and sleeps until
// the call signals a change or the handler decides.
class VideoThread {
  public:
    enum class Direction { Receive = 0, Send = 1 };

    VideoThread(const CallServices& services, platform::Cookie callCookie, Direction direction);
    // Waits for the thread if it was started and is still running.
    ~VideoThread();
    VideoThread(const VideoThread&) = delete;
    VideoThread& operator=(const VideoThread&) = delete;

    void Start();
    // The user took the call: video that was stopped comes back.
    void Resume();
    // The call will not be taken: stopped video stays stopped.
    void Cancel();
    // Waits (on the clock) until the routine has returned; at once when never started.
    void WaitEnded();

  private:
    struct State;
    static void Run(std::shared_ptr<State> state);

    std::shared_ptr<State> state_;
    bool started_ = false;
};

}  // namespace velto::calls
