#include "DevFrameServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>

#include "frame/Frame.h"

namespace velto::devserver {
namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t')) {
        fields.push_back(field);
    }
    return fields;
}

// The texts of a request after its code byte.
std::vector<std::string> Texts(const std::string& request) {
    std::vector<std::string> texts;
    size_t pos = 1;
    while (pos < request.size()) {
        const size_t end = request.find('\0', pos);
        if (end == std::string::npos) {
            texts.push_back(request.substr(pos));
            break;
        }
        texts.push_back(request.substr(pos, end - pos));
        pos = end + 1;
    }
    return texts;
}

}  // namespace

bool ReadToneCatalogue(std::istream& in, ToneCatalogue& catalogue, std::string& error) {
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line.find('\0') != std::string::npos) {
            error = "line " + std::to_string(number) + ": contains a zero byte";
            return false;
        }
        std::vector<std::string> f = SplitTabs(line);
        if (f.size() < 4 || f.size() > 6 || f[0].empty() || f[1].empty()) {
            error = "line " + std::to_string(number) +
                    ": expected handle, key, remote name, title [, extra [, prefix]]";
            return false;
        }
        f.resize(6);
        catalogue[f[0]].push_back(OwnedTone{f[1], f[2], f[5], f[3], f[4]});
    }
    return true;
}

DevFrameServer::DevFrameServer(ToneCatalogue catalogue, std::string defaultPrefix)
    : catalogue_(std::move(catalogue)), defaultPrefix_(std::move(defaultPrefix)) {}

DevFrameServer::~DevFrameServer() {
    Stop();
}

std::vector<std::string> DevFrameServer::log() const {
    std::lock_guard guard(mutex_);
    return log_;
}

void DevFrameServer::Log(std::string line) {
    if (echo) {
        std::printf("frame: %s\n", line.c_str());
        std::fflush(stdout);
    }
    std::lock_guard guard(mutex_);
    log_.push_back(std::move(line));
}

std::string DevFrameServer::Answer(const std::string& request) {
    if (request.empty()) {
        Log("empty request");
        return std::string(1, '\0');
    }
    const auto code = static_cast<unsigned char>(request[0]);
    const std::vector<std::string> texts = Texts(request);
    auto text = [&](size_t i) { return i < texts.size() ? texts[i] : std::string(); };
    switch (code) {
        case 0x03: {
            const std::string handle = text(0);
            const auto it = catalogue_.find(handle);
            if (it == catalogue_.end() || it->second.empty()) {
                Log("tone query for " + handle + ": none");
                return std::string(1, '\0');
            }
            std::string answer(1, '\1');
            size_t count = 0;
            for (const OwnedTone& tone : it->second) {
                std::string entry;
                for (const std::string* t : {&tone.key, &tone.remoteName,
                                             tone.prefix.empty() ? &defaultPrefix_ : &tone.prefix,
                                             &tone.title, &tone.extra}) {
                    entry += *t;
                    entry += '\0';
                }
                if (answer.size() + entry.size() > kAnswerLimit) {
                    Log("tone list of " + handle + " cut to fit one answer");
                    break;
                }
                answer += entry;
                ++count;
            }
            Log("tone query for " + handle + ": " + std::to_string(count) + " tones");
            return answer;
        }
        case 0x05:
        case 0x07:
            Log(std::string(code == 0x07 ? "download ok: " : "download failed: ") + text(0) +
                " user " + text(1) + " file " + text(2));
            return std::string(1, '\0');
        case 0x06:
            Log("first-run report from " + text(0) + " version " + text(1));
            return std::string(1, '\0');
        default:
            Log("unknown request code " + std::to_string(code));
            return std::string(1, '\0');
    }
}

bool DevFrameServer::Start(const std::string& host, int port) {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listenFd_ < 0) {
        return false;
    }
    const int one = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (::inet_pton(AF_INET, host.c_str(), &addr.sin_addr) != 1 ||
        ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listenFd_, 16) != 0) {
        ::close(listenFd_);
        listenFd_ = -1;
        return false;
    }
    socklen_t len = sizeof addr;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    acceptThread_ = std::thread([this] { AcceptLoop(); });
    return true;
}

void DevFrameServer::Stop() {
    if (!acceptThread_.joinable()) {
        return;
    }
    stopping_ = true;
    ::shutdown(listenFd_, SHUT_RDWR);
    acceptThread_.join();
    ::close(listenFd_);
    std::vector<std::thread> connections;
    {
        std::lock_guard guard(mutex_);
        for (int fd : openFds_) {
            ::shutdown(fd, SHUT_RDWR);
        }
        connections.swap(connections_);
    }
    for (auto& t : connections) {
        t.join();
    }
}

void DevFrameServer::AcceptLoop() {
    while (!stopping_) {
        const int fd = ::accept(listenFd_, nullptr, nullptr);
        if (fd < 0) {
            if (stopping_) {
                return;
            }
            continue;
        }
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::lock_guard guard(mutex_);
        openFds_.push_back(fd);
        connections_.emplace_back([this, fd] { Serve(fd); });
    }
}

void DevFrameServer::Serve(int fd) {
    const frame::ReadSome read = [fd](uint8_t* data, size_t size) -> long {
        return ::recv(fd, data, size, 0);
    };
    const frame::WriteSome write = [fd](const uint8_t* data, size_t size) -> long {
        return ::send(fd, data, size, MSG_NOSIGNAL);
    };
    std::vector<uint8_t> request;
    for (;;) {
        const frame::Received received = frame::ReceiveFrame(read, kRequestLimit, request);
        if (received.status == frame::FrameStatus::TooLong) {
            Log("request of " + std::to_string(received.length) + " bytes refused");
        }
        if (received.status != frame::FrameStatus::Ok) {
            break;
        }
        const std::string answer = Answer(std::string(request.begin(), request.end()));
        if (const int late = lateMs; late > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(late));
        }
        if (!frame::SendFrame(
                write, std::span(reinterpret_cast<const uint8_t*>(answer.data()), answer.size()))) {
            break;
        }
    }
    std::lock_guard guard(mutex_);
    openFds_.erase(std::remove(openFds_.begin(), openFds_.end(), fd), openFds_.end());
    ::close(fd);
}

}  // namespace velto::devserver
