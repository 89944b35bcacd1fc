#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velto::skype::sip {

// A SIP address as a user writes it: `sip:user@host[:port]`, optionally with a display
// name in front (`"Alice" <sip:alice@example.org>` or `Alice <sip:...>`).
struct SipAddress {
    std::string displayName;
    std::string user;  // may be empty (an address of a host alone)
    std::string host;
    uint16_t port = 0;  // 0: none given

    // What the program calls the user's handle: `user@host` (the port is left out, so
    // that a contact and a caller from the same account match).
    std::string Handle() const;
    // `sip:user@host[:port]`, without the display name.
    std::string Uri() const;
};

// Parses `text`; on failure returns nothing and sets `error` to a sentence naming what is
// wrong. Only the `sip:` scheme is taken; parameters (`;transport=...`) are refused, as the
// program has no use for them.
std::optional<SipAddress> ParseSipAddress(std::string_view text, std::string& error);

// `ADDRESS:PORT` as the Listen setting holds it; an empty address stands for all
// addresses (0.0.0.0), an empty text for 0.0.0.0:5060.
struct ListenAddress {
    std::string address = "0.0.0.0";
    uint16_t port = 5060;
};
std::optional<ListenAddress> ParseListenAddress(std::string_view text, std::string& error);

}  // namespace velto::skype::sip
