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

// GCC 12 at -O3 mistakes moving a Reply's optional payload for a read of uninitialised
// memory.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace velto::test {

namespace {

constexpr uint32_t kLargestRequest = 1 << 20;

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        data += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

std::vector<uint8_t> Header(uint32_t length) {
    return {static_cast<uint8_t>(length >> 24), static_cast<uint8_t>(length >> 16),
            static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)};
}

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

bool FrameTestServer::ReadExactly(int fd, uint8_t* data, size_t size) const {
    while (size > 0) {
        if (!WaitReadable(fd)) {
            return false;
        }
        const ssize_t got = ::recv(fd, data, size, 0);
        if (got <= 0) {
            return false;
        }
        data += got;
        size -= static_cast<size_t>(got);
    }
    return true;
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
    bool open = true;
    while (open) {
        uint8_t header[4];
        if (!ReadExactly(client, header, 4)) {
            break;
        }
        const uint32_t length = (uint32_t{header[0]} << 24) | (uint32_t{header[1]} << 16) |
                                (uint32_t{header[2]} << 8) | header[3];
        if (length > kLargestRequest) {
            char text[160];
            std::snprintf(text, sizeof text,
                          "FrameTestServer: a request header announces %u bytes (%02x %02x %02x "
                          "%02x); lengths are 4-byte big-endian",
                          length, header[0], header[1], header[2], header[3]);
            RealTimeLimit::Fail(text);
        }
        std::vector<uint8_t> request(length);
        if (!ReadExactly(client, request.data(), length)) {
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
        const std::vector<uint8_t>& payload = reply.payload ? *reply.payload : request;
        std::vector<uint8_t> frame = Header(static_cast<uint32_t>(payload.size()));
        frame.insert(frame.end(), payload.begin(), payload.end());
        switch (reply.behaviour) {
            case Behaviour::Answer:
                open = WriteAll(client, frame.data(), frame.size());
                break;
            case Behaviour::AnswerThenClose:
                WriteAll(client, frame.data(), frame.size());
                open = false;
                break;
            case Behaviour::CloseWithoutAnswer:
                open = false;
                break;
            case Behaviour::ResetMidFrame: {
                WriteAll(client, frame.data(), 4 + payload.size() / 2);
                const linger reset{1, 0};
                ::setsockopt(client, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
                open = false;
                break;
            }
            case Behaviour::OversizedLength: {
                std::vector<uint8_t> start = Header(reply.announcedLength);
                start.insert(start.end(), 16, uint8_t{0x55});
                open = WriteAll(client, start.data(), start.size());
                break;
            }
            case Behaviour::NeverAnswer:
                break;
        }
    }
    ::close(client);
}

}  // namespace velto::test
