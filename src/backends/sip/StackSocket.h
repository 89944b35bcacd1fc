#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The SIP stack's own UDP socket, seen from outside the stack: it offers no way to reach
// it, so it is found among the process's descriptors by the address it is bound to.
namespace velto::skype::sip {

// The descriptor of a UDP socket bound to `address`:`port` (IPv4), or -1.
int FindBoundUdpSocket(const std::string& address, uint16_t port);
// True while `fd` is still a UDP socket bound to `address`:`port` (a descriptor the
// stack closed may since name something else).
bool IsBoundUdpSocket(int fd, const std::string& address, uint16_t port);
// The size of the next datagram waiting on `fd`, without taking it; nothing when none
// is waiting.
std::optional<size_t> NextDatagramSize(int fd);
// Takes the next datagram from `fd` and discards it; the sender's address as text.
std::string DiscardDatagram(int fd);

}  // namespace velto::skype::sip
