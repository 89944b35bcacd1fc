#include "backends/sip/SipLoop.h"

#include <malloc.h>
#include <pthread.h>
#include <sys/socket.h>

#include "backends/sip/StackSocket.h"
#include "platform/Trace.h"

namespace velto::skype::sip {

SipLoop::SipLoop(platform::Clock& clock, std::function<void()> turn,
                 std::function<platform::Millis()> interval, std::function<int()> socket)
    : clock_(clock),
      turn_(std::move(turn)),
      interval_(std::move(interval)),
      socket_(std::move(socket)),
      changed_(clock) {}

SipLoop::~SipLoop() {
    Stop();
}

void SipLoop::Start() {
    thread_ = std::thread([this] {
        pthread_setname_np(pthread_self(), "sip");
        Run();
    });
}

void SipLoop::Stop() {
    {
        std::lock_guard guard(mutex_);
        stop_ = true;
        changed_.NotifyAll();
    }
    if (thread_.joinable() && !OnLoopThread()) {
        thread_.join();
    }
}

void SipLoop::Post(std::function<void()> task) {
    std::lock_guard guard(mutex_);
    if (stop_) {
        return;
    }
    tasks_.push_back(std::move(task));
    changed_.NotifyAll();
}

uint64_t SipLoop::turns() const {
    std::lock_guard guard(mutex_);
    return turns_;
}

void SipLoop::SocketReady() {
    std::lock_guard guard(mutex_);
    socketReady_ = true;
    changed_.NotifyAll();
}

void SipLoop::Run() {
    platform::Millis next = clock_.Now();
    for (;;) {
        std::deque<std::function<void()>> ready;
        bool stopping = false;
        bool arrived = false;
        {
            std::unique_lock lock(mutex_);
            changed_.WaitUntil(lock, next,
                               [&] { return !tasks_.empty() || stop_ || socketReady_; });
            ready.swap(tasks_);
            stopping = stop_;
            arrived = socketReady_;
            socketReady_ = false;
        }
        for (auto& task : ready) {
            task();
        }
        if (stopping) {
            watch_.reset();
            return;
        }
        // Posted work usually queues something to send: iterate at once.
        if (!ready.empty() || arrived || clock_.Now() >= next) {
            TurnStack();
            next = clock_.Now() + interval_();
        }
        if (arrived && watch_) {
            watch_->Rearm();
        }
    }
}

void SipLoop::TurnStack() {
    for (int turn = 1;; ++turn) {
        DropOversized();
        const bool large = watch_ && NextDatagramSize(watch_->fd()).value_or(0) > kLargeDatagram;
        TurnOnce();
        if (large) {
            malloc_trim(0);
        }
        FollowSocket();
        if (turn >= kDrainTurns || !watch_ || !NextDatagramSize(watch_->fd())) {
            return;
        }
    }
}

void SipLoop::TurnOnce() {
    turn_();
    std::lock_guard guard(mutex_);
    ++turns_;
}

void SipLoop::FollowSocket() {
    const int fd = socket_ ? socket_() : -1;
    if (watch_ && watch_->fd() == fd) {
        return;
    }
    watch_.reset();
    if (fd >= 0) {
        // Room for a burst while the stack works through it (the system caps the size).
        const int room = 4 << 20;
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &room, sizeof room);
        watch_ = std::make_unique<SocketWatch>(clock_, fd, [this] { SocketReady(); });
    }
}

void SipLoop::DropOversized() {
    if (!watch_) {
        return;
    }
    for (;;) {
        const std::optional<size_t> size = NextDatagramSize(watch_->fd());
        if (!size || *size <= kMaxDatagram) {
            return;
        }
        const std::string from = DiscardDatagram(watch_->fd());
        platform::Trace("SIP: dropped a message of %zu bytes from %s (more than %zu)\n", *size,
                        from.c_str(), kMaxDatagram);
    }
}

}  // namespace velto::skype::sip
