#include "server/ServerCommunication.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "frame/Frame.h"
#include "platform/Trace.h"

namespace velto::server {

using platform::Millis;

ServerCommunication::ServerCommunication(platform::Clock& clock, platform::Workers& workers,
                                         LinkSettings settings)
    : clock_(clock),
      settings_(std::move(settings)),
      changed_(clock),
      nextRetryPause_(settings_.retryPause) {
    workers.Start("server link", [this] { Run(); });
}

ServerCommunication::~ServerCommunication() {
    Stop();
    std::unique_lock lock(mutex_);
    changed_.Wait(lock, [this] { return ended_; });
}

bool ServerCommunication::Push(std::shared_ptr<ServerRequest> request) {
    if (!request || request->length() <= 0 ||
        static_cast<size_t>(request->length()) > ServerRequest::kMaxPayload) {
        platform::Trace("Server request refused: payload of %d bytes (1 to %zu allowed)\n",
                        request ? request->length() : 0, ServerRequest::kMaxPayload);
        return false;
    }
    std::lock_guard guard(mutex_);
    if (stop_) {
        return false;
    }
    queue_.push_back(std::move(request));
    changed_.NotifyAll();
    return true;
}

size_t ServerCommunication::Count() const {
    std::lock_guard guard(mutex_);
    return queue_.size();
}

std::shared_ptr<ServerRequest> ServerCommunication::Pop() {
    std::lock_guard guard(mutex_);
    if (queue_.empty()) {
        return nullptr;
    }
    auto request = std::move(queue_.front());
    queue_.pop_front();
    return request;
}

ServerCommunication::Reply ServerCommunication::Exchange(std::span<const uint8_t> payload,
                                                         std::optional<Millis> timeout) {
    Reply reply;
    auto request = ServerRequest::Create(clock_, payload);
    if (!request || !Push(request)) {
        return reply;
    }
    reply.outcome = timeout ? request->WaitFor(*timeout) : request->Wait();
    if (reply.outcome == ServerRequest::Outcome::Answered) {
        const auto answer = request->Answer();
        reply.answer.assign(answer.begin(), answer.end());
    }
    return reply;
}

void ServerCommunication::Stop() {
    {
        std::lock_guard guard(mutex_);
        stop_ = true;
        changed_.NotifyAll();
    }
    std::lock_guard guard(socketMutex_);
    if (fd_ >= 0) {
        ::shutdown(fd_, SHUT_RDWR);
    }
}

ServerCommunication::Stats ServerCommunication::stats() const {
    std::lock_guard guard(mutex_);
    return stats_;
}

void ServerCommunication::CountStat(int Stats::*field) {
    std::lock_guard guard(mutex_);
    ++(stats_.*field);
}

// Requests nobody waits for any more are freed without being sent, also while the server
// is unreachable, so that the worker stops reconnecting for them.
void ServerCommunication::DropAbandonedLocked() {
    const auto before = queue_.size();
    std::erase_if(queue_, [](const auto& request) { return request->abandoned(); });
    stats_.droppedUnsent += static_cast<int>(before - queue_.size());
}

void ServerCommunication::WaitForWork() {
    std::unique_lock lock(mutex_);
    DropAbandonedLocked();
    if (connected_) {
        const Millis idleEnd = lastActivity_ + settings_.idleClose;
        if (!changed_.WaitUntil(lock, idleEnd, [this] { return stop_ || !queue_.empty(); })) {
            ++stats_.idleCloses;
            lock.unlock();
            CloseConnection();
        }
        return;
    }
    changed_.Wait(lock, [this] { return stop_ || !queue_.empty(); });
}

void ServerCommunication::Run() {
    platform::Trace("Server communication threaded\n");
    lastActivity_ = clock_.Now();
    for (;;) {
        WaitForWork();
        {
            std::lock_guard guard(mutex_);
            if (stop_) {
                break;
            }
            DropAbandonedLocked();
            if (queue_.empty()) {
                continue;
            }
        }
        if (!connected_ && !Connect()) {
            // A server that is down is not hammered: waiting requests stay queued while
            // the pauses grow. New requests do not cut a pause short.
            std::unique_lock lock(mutex_);
            changed_.WaitFor(lock, nextRetryPause_, [this] { return stop_; });
            nextRetryPause_ = std::min(nextRetryPause_ * 2, settings_.retryPauseLimit);
            continue;
        }
        while (auto request = Pop()) {
            if (request->abandoned()) {
                CountStat(&Stats::droppedUnsent);
                lastActivity_ = clock_.Now();
                continue;
            }
            const ExchangeResult result = ExchangeOne(*request);
            if (result == ExchangeResult::Broken) {
                CountStat(&Stats::failedExchanges);
                CloseConnection();
                bool stopping = false;
                {
                    std::lock_guard guard(mutex_);
                    stopping = stop_;
                    if (!stopping) {
                        queue_.push_back(std::move(request));
                    }
                }
                if (stopping) {
                    request->Complete(false);
                }
                break;
            }
            if (result == ExchangeResult::TooLong) {
                // The rest of that answer is still on the wire: the connection cannot be
                // used again, and resending would only bring the same answer back.
                CountStat(&Stats::oversized);
                CloseConnection();
                request->Complete(false);
                break;
            }
            CountStat(&Stats::exchanges);
            // An abandoned request is simply dropped here: its last owner frees it.
            if (!request->abandoned()) {
                request->Complete(true);
            }
            lastActivity_ = clock_.Now();
        }
    }
    CloseConnection();
    FailAllQueued();
    std::lock_guard guard(mutex_);
    ended_ = true;
    changed_.NotifyAll();
}

void ServerCommunication::FailAllQueued() {
    std::deque<std::shared_ptr<ServerRequest>> left;
    {
        std::lock_guard guard(mutex_);
        left.swap(queue_);
    }
    for (auto& request : left) {
        request->Complete(false);
    }
}

bool ServerCommunication::Connect() {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(settings_.port);
    if (getaddrinfo(settings_.host.c_str(), port.c_str(), &hints, &found) != 0 || !found) {
        CountStat(&Stats::connectFailures);
        return false;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        freeaddrinfo(found);
        CountStat(&Stats::connectFailures);
        return false;
    }
    {
        std::lock_guard guard(socketMutex_);
        fd_ = fd;
    }
    // Stop shuts down fd_ once it is set, which also cuts a connect under way; a Stop that
    // came before that is seen here.
    bool stopping = false;
    {
        std::lock_guard guard(mutex_);
        stopping = stop_;
    }
    if (stopping) {
        freeaddrinfo(found);
        CloseConnection();
        return false;
    }
    const int rc = ::connect(fd, found->ai_addr, found->ai_addrlen);
    freeaddrinfo(found);
    if (rc != 0) {
        CloseConnection();
        CountStat(&Stats::connectFailures);
        return false;
    }
    // Requests are small and latency matters: no send coalescing.
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    connected_ = true;
    lastActivity_ = clock_.Now();
    nextRetryPause_ = settings_.retryPause;
    CountStat(&Stats::connects);
    return true;
}

void ServerCommunication::CloseConnection() {
    std::lock_guard guard(socketMutex_);
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    connected_ = false;
}

long ServerCommunication::ReceiveSome(int fd, uint8_t* data, size_t size) {
    pollfd watch{fd, POLLIN, 0};
    int ready = ::poll(&watch, 1, static_cast<int>(settings_.slowAnswerGrace.count()));
    if (ready == 0) {
        // The server is slow: let program time go on while we keep waiting.
        platform::Clock::OutsideWait outside(clock_);
        do {
            ready = ::poll(&watch, 1, -1);
        } while (ready < 0 && errno == EINTR);
    }
    if (ready < 0) {
        return -1;
    }
    long got = 0;
    do {
        got = ::recv(fd, data, size, 0);
    } while (got < 0 && errno == EINTR);
    return got;
}

ServerCommunication::ExchangeResult ServerCommunication::ExchangeOne(ServerRequest& request) {
    const int fd = fd_;
    const frame::WriteSome write = [fd](const uint8_t* data, size_t size) -> long {
        long sent = 0;
        do {
            sent = ::send(fd, data, size, MSG_NOSIGNAL);
        } while (sent < 0 && errno == EINTR);
        return sent;
    };
    if (!frame::SendFrame(write, request.Payload())) {
        return ExchangeResult::Broken;
    }
    const frame::ReadSome read = [this, fd](uint8_t* data, size_t size) {
        return ReceiveSome(fd, data, size);
    };
    // Received aside: a request whose answer breaks off is sent again, so its payload
    // must survive a partial answer.
    const frame::Received received = frame::ReceiveFrame(read, answer_);
    switch (received.status) {
        case frame::FrameStatus::Ok:
            std::copy_n(answer_.begin(), received.length, request.buffer());
            request.set_length(static_cast<int32_t>(received.length));
            platform::Trace("Done\n");
            return ExchangeResult::Answered;
        case frame::FrameStatus::TooLong:
            platform::Trace("Server answer longer than %zu bytes refused\n",
                            ServerRequest::kBufferSize);
            return ExchangeResult::TooLong;
        case frame::FrameStatus::Broken:
            break;
    }
    return ExchangeResult::Broken;
}

}  // namespace velto::server
