#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Trace.h"

namespace velto::platform {

namespace {

bool SocketAddress(const std::filesystem::path& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    const std::string text = path.string();
    if (text.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    return true;
}

}  // namespace

SingleInstance::SingleInstance(std::filesystem::path folder, std::string name)
    : folder_(std::move(folder)), name_(std::move(name)) {}

SingleInstance::~SingleInstance() {
    StopListening();
    if (lockFd_ >= 0) {
        ::close(lockFd_);  // releases the lock; the file stays for the next start
    }
}

std::filesystem::path SingleInstance::ChooseFolder(const std::string& runtimeDir,
                                                   const std::filesystem::path& fallback) {
    if (!runtimeDir.empty() && std::filesystem::path(runtimeDir).is_absolute()) {
        return std::filesystem::path(runtimeDir) / "velto";
    }
    return fallback;
}

SingleInstance::Outcome SingleInstance::Acquire() {
    std::filesystem::path prefix;
    for (const auto& part : folder_) {
        prefix /= part;
        ::mkdir(prefix.c_str(), 0700);
    }
    const auto lockPath = folder_ / (name_ + ".lock");
    lockFd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0) {
        error_ = errno;
        return Outcome::Failed;
    }
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            return Outcome::AnotherRunning;
        }
        error_ = errno;  // the wait failed: carry on as the only instance
    }
    return Outcome::First;
}

bool SingleInstance::Listen(std::function<void()> onShowRequest) {
    const auto socketPath = folder_ / (name_ + ".sock");
    sockaddr_un address;
    if (!SocketAddress(socketPath, address)) {
        Trace("SingleInstance: socket path too long: %s\n", socketPath.c_str());
        return false;
    }
    // We hold the lock, so a socket file left here belongs to an owner that is gone.
    ::unlink(socketPath.c_str());
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0 ||
        ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, 8) != 0 || ::pipe2(stopPipe_, O_CLOEXEC) != 0) {
        Trace("SingleInstance: cannot listen on %s: %s\n", socketPath.c_str(),
              std::strerror(errno));
        StopListening();
        return false;
    }
    listener_ = std::thread([this, onShowRequest = std::move(onShowRequest)] {
        while (true) {
            pollfd fds[2] = {{listenFd_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return;
            }
            if (fds[1].revents != 0) {
                return;
            }
            const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) {
                // The connection is the request; its content does not matter.
                ::close(client);
                onShowRequest();
            }
        }
    });
    return true;
}

void SingleInstance::StopListening() {
    if (listener_.joinable()) {
        const char stop = 'x';
        [[maybe_unused]] ssize_t n = ::write(stopPipe_[1], &stop, 1);
        listener_.join();
    }
    for (int& fd : stopPipe_) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        listenFd_ = -1;
        ::unlink((folder_ / (name_ + ".sock")).c_str());
    }
}

bool SingleInstance::AskOwnerToShow() const {
    sockaddr_un address;
    if (!SocketAddress(folder_ / (name_ + ".sock"), address)) {
        return false;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (ok) {
        const char request[] = "SHOW\n";
        [[maybe_unused]] ssize_t n = ::send(fd, request, sizeof request - 1, MSG_NOSIGNAL);
    }
    ::close(fd);
    return ok;
}

}  // namespace velto::platform
