#include "backends/sip/RouteSource.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace velto::skype::sip {

std::optional<std::string> SourceAddressTowards(const std::string& host, uint16_t port) {
    std::string bare = host;
    if (bare.size() >= 2 && bare.front() == '[' && bare.back() == ']') {
        bare = bare.substr(1, bare.size() - 2);
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    // Numeric only: a name would be looked up here, on the stack's thread.
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (getaddrinfo(bare.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
        return std::nullopt;
    }
    std::optional<std::string> source;
    const int fd = socket(found->ai_family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_storage own{};
    socklen_t length = sizeof own;
    if (fd >= 0 && connect(fd, found->ai_addr, found->ai_addrlen) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&own), &length) == 0) {
        char text[INET6_ADDRSTRLEN] = {};
        const void* address =
            own.ss_family == AF_INET6
                ? static_cast<const void*>(&reinterpret_cast<const sockaddr_in6*>(&own)->sin6_addr)
                : &reinterpret_cast<const sockaddr_in*>(&own)->sin_addr;
        if (inet_ntop(own.ss_family, address, text, sizeof text) != nullptr) {
            source = text;
        }
    }
    if (fd >= 0) {
        close(fd);
    }
    freeaddrinfo(found);
    return source;
}

bool SameAddress(const std::string& one, const std::string& other) {
    const auto bare = [](const std::string& text) {
        return text.size() >= 2 && text.front() == '[' && text.back() == ']'
                   ? text.substr(1, text.size() - 2)
                   : text;
    };
    in6_addr a{};
    in6_addr b{};
    for (const int family : {AF_INET, AF_INET6}) {
        if (inet_pton(family, bare(one).c_str(), &a) == 1 &&
            inet_pton(family, bare(other).c_str(), &b) == 1) {
            return std::memcmp(&a, &b, sizeof a) == 0;
        }
    }
    return one == other;
}

}  // namespace velto::skype::sip
