#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/Clock.h"

namespace velto::platform {

// The message queue of one user-interface thread. Any thread may post work to it; the
// owning thread runs it in order. Waits go through the clock, so a loop that has nothing
// to do lets virtual time pass.
class MessageLoop {
  public:
    // The constructing thread owns the loop.
    explicit MessageLoop(Clock& clock);
    ~MessageLoop();
    MessageLoop(const MessageLoop&) = delete;
    MessageLoop& operator=(const MessageLoop&) = delete;

    // From any thread. `cancel`, if given, runs instead of `task` when the loop ends
    // before getting to it (a waiting sender must not wait for ever). Once Quit was
    // called nothing runs any more: the post is refused (false) and `cancel` runs at once,
    // on the posting thread.
    bool Post(std::function<void()> task, std::function<void()> cancel = {});

    // Runs until Quit; returns the exit code given to Quit.
    int Run();
    // From any thread: makes Run return after the task now running. Tasks still queued
    // are cancelled at once, and later posts are refused.
    void Quit(int exitCode = 0);
    bool QuitRequested() const;

    // Runs what is queued now, without waiting; returns how many tasks ran.
    int ProcessPending();
    // Runs tasks until `pred` holds or `timeout` passes on the clock; returns pred().
    // `pred` is checked after every task and every `poll` of clock time (also after Quit,
    // when no task runs any more).
    bool RunUntil(const std::function<bool()>& pred, Millis timeout, Millis poll = Millis(10));

    bool IsLoopThread() const { return std::this_thread::get_id() == owner_; }
    Clock& clock() const { return clock_; }

    // Called after each Post, from the posting thread (a GUI toolkit hooks its own
    // event loop in here).
    void SetWakeHook(std::function<void()> hook);

  private:
    struct Task {
        std::function<void()> run;
        std::function<void()> cancel;
    };
    bool RunNextLocked(std::unique_lock<std::mutex>& lock);
    // Ends the loop's queue: marks it quit and cancels what is left, outside the lock.
    void CloseQueue(const int* exitCode);

    Clock& clock_;
    std::thread::id owner_;
    mutable std::mutex mutex_;
    ClockCondition changed_;
    std::deque<Task> tasks_;
    bool quit_ = false;
    int exitCode_ = 0;
    std::function<void()> wakeHook_;
};

}  // namespace velto::platform
