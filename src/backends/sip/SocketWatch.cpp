#include "backends/sip/SocketWatch.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>

namespace velto::skype::sip {

SocketWatch::SocketWatch(platform::Clock& clock, int fd, std::function<void()> ready)
    : clock_(clock),
      fd_(fd),
      ready_(std::move(ready)),
      stopFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      changed_(clock) {
    clock_.AddThread();
    thread_ = std::thread([this] {
        pthread_setname_np(pthread_self(), "sip-watch");
        Run();
        clock_.RemoveThread();
    });
}

SocketWatch::~SocketWatch() {
    {
        std::lock_guard guard(mutex_);
        stopping_ = true;
        changed_.NotifyAll();
    }
    const uint64_t one = 1;
    if (stopFd_ >= 0 && write(stopFd_, &one, sizeof one) < 0) {
        // The counter is full only if written before: the thread is woken either way.
    }
    thread_.join();
    if (stopFd_ >= 0) {
        close(stopFd_);
    }
}

void SocketWatch::Rearm() {
    std::lock_guard guard(mutex_);
    armed_ = true;
    changed_.NotifyAll();
}

void SocketWatch::Run() {
    if (stopFd_ < 0) {
        return;  // without a way to stop it the thread must not block: the loop's timer serves
    }
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        int result = 0;
        {
            platform::Clock::OutsideWait outside(clock_);
            result = poll(fds, 2, -1);
        }
        if (result < 0 && errno == EINTR) {
            continue;
        }
        if (result < 0 || fds[1].revents != 0 || (fds[0].revents & POLLNVAL) != 0) {
            return;
        }
        {
            std::lock_guard guard(mutex_);
            armed_ = false;
        }
        ready_();
        std::unique_lock lock(mutex_);
        changed_.Wait(lock, [&] { return armed_ || stopping_; });
        if (stopping_) {
            return;
        }
    }
}

}  // namespace velto::skype::sip
