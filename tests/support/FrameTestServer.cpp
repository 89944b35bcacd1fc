#include "support/FrameTestServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>

#include "frame/Frame.h"

// GCC 12 at -O3 mistakes moving a Reply's optional payload for a read of uninitialised
// memory.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace velto::test {

namespace {

constexpr uint32_t kLargestRequest = 1 << 20;

}  // namespace

FrameTestServer::FrameTestServer(bool listen) {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t size = sizeof address;
    if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &size) != 0 ||
        ::pipe2(wakePipe_, O_CLOEXEC) != 0) {
        throw std::runtime_error("FrameTestServer: cannot bind a loopback port");
    }
    port_ = ntohs(address.sin_port);
    if (listen) {
        Listen();
    }
}

FrameTestServer::~FrameTestServer() {
    Stop();
    ::close(listenFd_);
    ::close(wakePipe_[0]);
    ::close(wakePipe_[1]);
}

void FrameTestServer::Listen() {
    if (thread_.joinable()) {
        return;
    }
    ::listen(listenFd_, 8);
    thread_ = std::thread([this] { Run(); });
}

void FrameTestServer::Stop() {
    const uint8_t byte = 1;
    [[maybe_unused]] const auto written = ::write(wakePipe_[1], &byte, 1);
    if (thread_.joinable()) {
        thread_.join();
    }
}

void FrameTestServer::GoDown() {
    Stop();
    // Connections the server accepted may still hold the port, so it cannot be kept bound;
    // a loopback port just given up is not handed out again at once.
    ::close(listenFd_);
    listenFd_ = -1;
}

void FrameTestServer::Script(Reply reply) {
    std::lock_guard guard(mutex_);
    script_.push_back(std::move(reply));
}

void FrameTestServer::SetDefault(Reply reply) {
    std::lock_guard guard(mutex_);
    default_ = std::move(reply);
}

std::vector<std::vector<uint8_t>> FrameTestServer::Requests() const {
    std::lock_guard guard(mutex_);
    return requests_;
}

size_t FrameTestServer::RequestCount() const {
    std::lock_guard guard(mutex_);
    return requests_.size();
}

int FrameTestServer::Connections() const {
    std::lock_guard guard(mutex_);
    return connections_;
}

bool FrameTestServer::WaitForRequests(size_t count, std::chrono::milliseconds limit) const {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, limit, [&] { return requests_.size() >= count; });
}

FrameTestServer::Reply FrameTestServer::NextReply() {
    std::lock_guard guard(mutex_);
    if (script_.empty()) {
        return default_;
    }
    Reply reply = std::move(script_.front());
    script_.pop_front();
    return reply;
}

bool FrameTestServer::WaitReadable(int fd) const {
    pollfd watch[2] = {{fd, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
    for (;;) {
        const int ready = ::poll(watch, 2, -1);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        return ready > 0 && (watch[1].revents & POLLIN) == 0;
    }
}

void FrameTestServer::Run() {
    while (WaitReadable(listenFd_)) {
        const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            continue;
        }
        {
            std::lock_guard guard(mutex_);
            ++connections_;
        }
        Serve(client);
    }
}

void FrameTestServer::Serve(int client) {
    const frame::ReadSome read = [this, client](uint8_t* data, size_t size) -> long {
        return WaitReadable(client) ? ::recv(client, data, size, 0) : -1;
    };
    std::vector<uint8_t> request;
    bool open = true;
    while (open) {
        const frame::Received received = frame::ReceiveFrame(read, kLargestRequest, request);
        if (received.status == frame::FrameStatus::TooLong) {
            const auto header = frame::EncodeLength(received.length);
            char text[160];
            std::snprintf(text, sizeof text,
                          "FrameTestServer: a request header announces %u bytes (%02x %02x %02x "
                          "%02x); lengths are 4-byte big-endian",
                          received.length, header[0], header[1], header[2], header[3]);
            RealTimeLimit::Fail(text);
        }
        if (received.status != frame::FrameStatus::Ok) {
            break;
        }
        const Reply reply = NextReply();
        {
            std::lock_guard guard(mutex_);
            requests_.push_back(request);
        }
        arrived_.notify_all();
        if (reply.delay.count() > 0) {
            std::this_thread::sleep_for(reply.delay);
        }
        open = Act(client, reply, request);
    }
    ::close(client);
}

bool FrameTestServer::Act(int client, const Reply& reply, const std::vector<uint8_t>& request) {
    const frame::WriteSome write = [client](const uint8_t* data, size_t size) -> long {
        return ::send(client, data, size, MSG_NOSIGNAL);
    };
    const std::vector<uint8_t>& payload = reply.payload ? *reply.payload : request;
    const std::vector<uint8_t> whole = frame::EncodeFrame(payload).value();
    switch (reply.behaviour) {
        case Behaviour::Answer:
            return frame::SendBytes(write, whole);
        case Behaviour::AnswerThenClose:
            frame::SendBytes(write, whole);
            return false;
        case Behaviour::CloseWithoutAnswer:
            return false;
        case Behaviour::ResetMidFrame: {
            frame::SendBytes(write,
                             std::span(whole).first(frame::kHeaderSize + payload.size() / 2));
            const linger reset{1, 0};
            ::setsockopt(client, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            return false;
        }
        case Behaviour::OversizedLength: {
            const auto header = frame::EncodeLength(reply.announcedLength);
            std::vector<uint8_t> start(header.begin(), header.end());
            start.insert(start.end(), 16, uint8_t{0x55});
            return frame::SendBytes(write, start);
        }
        case Behaviour::NeverAnswer:
            break;
    }
    return true;
}

}  // namespace velto::test
