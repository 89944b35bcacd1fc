#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velto::skype::sip {

// A SIP address as a user writes it: `sip:user@host[:port]` or `sips:...`, optionally with
// a display name in front (`"Alice" <sip:alice@example.org>` or `Alice <sip:...>`) and the
// parameters a provider's proxy may need (`;transport=udp|tcp|tls`, `;lr`). An IPv6 host is
// written in brackets: `sip:[::1]:5060`.
struct SipAddress {
    std::string displayName;
    bool secure = false;      // sips:
    std::string user;         // may be empty (an address of a host alone)
    std::string host;         // an IPv6 address keeps its brackets
    uint16_t port = 0;        // 0: none given
    std::string transport;    // "udp", "tcp", "tls", or empty: none given
    bool looseRoute = false;  // ;lr

    // What the program calls the user's handle: `user@host` (the port is left out, so
    // that a contact and a caller from the same account match).
    std::string Handle() const;
    // `sip[s]:user@host[:port][;transport=...][;lr]`, without the display name.
    std::string Uri() const;
    // The transport the address leads to: "tls" for sips:, else the one given, else "udp".
    std::string Transport() const;
};

// Parses `text`; on failure returns nothing and sets `error` to a sentence naming what is
// wrong (an unknown parameter or transport by its name).
std::optional<SipAddress> ParseSipAddress(std::string_view text, std::string& error);

// `ADDRESS:PORT` as the Listen setting holds it (`[IPV6]:PORT` for IPv6); an empty address
// stands for all IPv4 addresses (0.0.0.0), an empty text for 0.0.0.0:5060.
struct ListenAddress {
    std::string address = "0.0.0.0";  // IPv6 without brackets
    uint16_t port = 5060;
    bool Ipv6() const { return address.find(':') != std::string::npos; }
    // The address as it goes into a URI (IPv6 in brackets).
    std::string UriHost() const { return Ipv6() ? "[" + address + "]" : address; }
};
std::optional<ListenAddress> ParseListenAddress(std::string_view text, std::string& error);

}  // namespace velto::skype::sip
