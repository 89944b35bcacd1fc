#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/Clock.h"

namespace velto::skype::sip {

// The SIP thread: runs posted work at once, then `turn` (one iteration of the SIP stack),
// and otherwise sleeps until the interval that `interval` names has passed. Everything
// the stack does happens on this thread.
class SipLoop {
  public:
    SipLoop(platform::Clock& clock, std::function<void()> turn,
            std::function<platform::Millis()> interval);
    // Joins the thread (Stop).
    ~SipLoop();
    SipLoop(const SipLoop&) = delete;
    SipLoop& operator=(const SipLoop&) = delete;

    void Start();
    // Runs what is queued, then ends the thread; work posted later is dropped.
    void Stop();
    void Post(std::function<void()> task);
    bool OnLoopThread() const { return std::this_thread::get_id() == thread_.get_id(); }
    // Turns of the SIP stack so far (for figures and tests).
    uint64_t turns() const;

  private:
    void Run();

    platform::Clock& clock_;
    std::function<void()> turn_;
    std::function<platform::Millis()> interval_;
    mutable std::mutex mutex_;
    platform::ClockCondition changed_;
    std::deque<std::function<void()>> tasks_;
    bool stop_ = false;
    uint64_t turns_ = 0;
    std::thread thread_;
};

}  // namespace velto::skype::sip
