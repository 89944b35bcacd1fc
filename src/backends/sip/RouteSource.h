#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velto::skype::sip {

// The local address the system would send from to `host` (a numeric IPv4 or IPv6
// address, an IPv6 one with or without brackets) on `port`. Sends nothing: a datagram
// socket is connected and asked its own address. Nothing for a host name, or when no route
// leads there.
std::optional<std::string> SourceAddressTowards(const std::string& host, uint16_t port);

// Whether two numeric addresses are one (IPv6 ones may be written in several ways); text
// equality for anything else.
bool SameAddress(const std::string& one, const std::string& other);

}  // namespace velto::skype::sip
