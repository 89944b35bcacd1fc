#include "backends/sip/StackSocket.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <cstdlib>

namespace velto::skype::sip {

bool IsBoundUdpSocket(int fd, const std::string& address, uint16_t port) {
    int type = 0;
    socklen_t typeSize = sizeof type;
    if (getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &typeSize) != 0 || type != SOCK_DGRAM) {
        return false;
    }
    sockaddr_in bound{};
    socklen_t size = sizeof bound;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &size) != 0 || size != sizeof bound ||
        bound.sin_family != AF_INET || ntohs(bound.sin_port) != port) {
        return false;
    }
    in_addr wanted{};
    return inet_pton(AF_INET, address.c_str(), &wanted) == 1 &&
           wanted.s_addr == bound.sin_addr.s_addr;
}

int FindBoundUdpSocket(const std::string& address, uint16_t port) {
    DIR* dir = opendir("/proc/self/fd");
    if (dir == nullptr) {
        return -1;
    }
    int found = -1;
    while (const dirent* entry = readdir(dir)) {
        char* end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || fd == dirfd(dir)) {
            continue;
        }
        struct stat info {};
        if (fstat(static_cast<int>(fd), &info) == 0 && S_ISSOCK(info.st_mode) &&
            IsBoundUdpSocket(static_cast<int>(fd), address, port)) {
            found = static_cast<int>(fd);
            break;
        }
    }
    closedir(dir);
    return found;
}

std::optional<size_t> NextDatagramSize(int fd) {
    char byte = 0;
    // MSG_TRUNC: the datagram's full length, though only one byte is looked at.
    const ssize_t size = recv(fd, &byte, 1, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
    if (size < 0) {
        return std::nullopt;
    }
    return static_cast<size_t>(size);
}

std::string DiscardDatagram(int fd) {
    char byte = 0;
    sockaddr_in from{};
    socklen_t size = sizeof from;
    if (recvfrom(fd, &byte, 1, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &size) < 0 ||
        from.sin_family != AF_INET) {
        return "?";
    }
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(ntohs(from.sin_port));
}

}  // namespace velto::skype::sip
