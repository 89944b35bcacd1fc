#pragma once

#include <functional>
#include <mutex>
#include <thread>

#include "platform/Clock.h"

namespace velto::skype::sip {

// A thread that sleeps until a descriptor has something to read, then calls `ready` and
// waits for Rearm (the reader takes what arrived meanwhile) before it looks again. It
// costs no wake-up while nothing arrives.
class SocketWatch {
  public:
    SocketWatch(platform::Clock& clock, int fd, std::function<void()> ready);
    // Stops the thread and joins it; the descriptor stays open.
    ~SocketWatch();
    SocketWatch(const SocketWatch&) = delete;
    SocketWatch& operator=(const SocketWatch&) = delete;

    int fd() const { return fd_; }
    void Rearm();

  private:
    void Run();

    platform::Clock& clock_;
    const int fd_;
    std::function<void()> ready_;
    // Written to end the thread's wait on the descriptor.
    int stopFd_ = -1;
    std::mutex mutex_;
    platform::ClockCondition changed_;
    bool armed_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace velto::skype::sip
