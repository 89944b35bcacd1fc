#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "backends/sip/SocketWatch.h"
#include "platform/Clock.h"

namespace velto::skype::sip {

// The SIP thread: runs posted work at once, then `turn` (one iteration of the SIP stack),
// and otherwise sleeps until the interval that `interval` names has passed, or until the
// stack's socket (the descriptor `socket` names, -1 for none) has something to read.
// Everything the stack does happens on this thread.
//
// The stack takes one datagram from its socket per iteration, so a pass iterates it
// until the socket is empty (up to kDrainTurns): a burst is answered at once, not one
// message per interval. The stack's parser takes hundreds of bytes of memory per byte of
// a message: a datagram larger than kMaxDatagram (no SIP message over UDP comes near it)
// is taken off the socket unread, and after one larger than kLargeDatagram the memory is
// handed back to the system, which the allocator would otherwise keep for good.
class SipLoop {
  public:
    static constexpr int kDrainTurns = 500;
    static constexpr size_t kMaxDatagram = 32 * 1024;
    static constexpr size_t kLargeDatagram = 4 * 1024;

    SipLoop(platform::Clock& clock, std::function<void()> turn,
            std::function<platform::Millis()> interval, std::function<int()> socket = {});
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
    // One pass: turns until the socket is drained.
    void TurnStack();
    void TurnOnce();
    void FollowSocket();
    void DropOversized();
    void SocketReady();

    platform::Clock& clock_;
    std::function<void()> turn_;
    std::function<platform::Millis()> interval_;
    std::function<int()> socket_;
    mutable std::mutex mutex_;
    platform::ClockCondition changed_;
    std::deque<std::function<void()>> tasks_;
    bool stop_ = false;
    bool socketReady_ = false;
    uint64_t turns_ = 0;
    // Loop thread only.
    std::unique_ptr<SocketWatch> watch_;
    std::thread thread_;
};

}  // namespace velto::skype::sip
