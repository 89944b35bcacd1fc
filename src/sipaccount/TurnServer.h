#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velto::skype::sip {

// TURN's own ports: over UDP and TCP, and over TLS.
inline constexpr uint16_t kTurnPort = 3478;
inline constexpr uint16_t kTurnTlsPort = 5349;

// A TURN server as the Turn setting names it: `HOST[:PORT][;transport=udp|tcp|tls]`, the
// form of the SIP settings, or a TURN URI as providers hand it out: `turn:HOST[:PORT]
// [?transport=udp|tcp]`, `turns:HOST[:PORT]` (TLS). An IPv6 host is written in brackets.
struct TurnServer {
    std::string host;               // an IPv6 address keeps its brackets
    uint16_t port = kTurnPort;      // the transport's own port when none is given
    std::string transport = "udp";  // "udp", "tcp" or "tls"

    // `HOST:PORT`, the port always written.
    std::string HostPort() const { return host + ":" + std::to_string(port); }
    // "UDP", "TCP" or "TLS".
    std::string TransportName() const;
};

// Why the Turn setting takes no TLS server although the form above names one: the SIP
// stack's TURN client over TLS (mediastreamer2 5.1) checks the server's certificate, but
// once it has refused one it tries again every half second, and ending the call then frees
// what that attempt still uses: the whole program crashes.
inline constexpr const char* kTurnTlsRefused =
    "TURN over TLS is not offered: the SIP stack can crash when it refuses the server's "
    "certificate; use ;transport=tcp";

// Parses `text`; on failure returns nothing and sets `error` to a sentence naming the bad
// part.
std::optional<TurnServer> ParseTurnServer(std::string_view text, std::string& error);

}  // namespace velto::skype::sip
