#include "sipaccount/SipSettingList.h"

#include <cstdint>

#include "sipaccount/SipAddress.h"
#include "sipaccount/TurnServer.h"

namespace velto::skype::sip {
namespace {

constexpr size_t kMaxNameLength = 128;
constexpr size_t kMaxPathLength = 4096;

std::optional<uint32_t> ParseNumber(std::string_view text) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    uint32_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        number = number * 10 + static_cast<uint32_t>(c - '0');
    }
    return number;
}

// A user or realm name: printable, no quote or backslash (they end up in a quoted header).
std::optional<std::string> CheckName(const std::string& text) {
    if (text.size() > kMaxNameLength) {
        return "longer than " + std::to_string(kMaxNameLength) + " characters";
    }
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x21 || u == 0x7f || c == '"' || c == '\\') {
            return "it holds a space, a quote, a backslash or a control character";
        }
    }
    return std::nullopt;
}

// `host[:port]` of a STUN server.
std::optional<std::string> CheckServer(const std::string& text) {
    std::string error;
    const auto address = ParseSipAddress("sip:" + text, error);
    if (!address) {
        return error;
    }
    if (!address->user.empty() || !address->transport.empty() || address->looseRoute) {
        return "expected HOST[:PORT]";
    }
    return std::nullopt;
}

std::optional<std::string> CheckText(std::string_view name, const std::string& text) {
    std::string error;
    if (name == "identity") {
        auto address = ParseSipAddress(text, error);
        if (address && address->user.empty()) {
            return "no user before '@'";
        }
        return address ? std::nullopt : std::optional(error);
    }
    if (name == "proxy" || name == "outbound-proxy") {
        return ParseSipAddress(text, error) ? std::nullopt : std::optional(error);
    }
    if (name == "listen") {
        return ParseListenAddress(text, error) ? std::nullopt : std::optional(error);
    }
    if (name == "stun") {
        return CheckServer(text);
    }
    if (name == "turn") {
        const auto server = ParseTurnServer(text, error);
        if (server && server->transport == "tls") {
            return kTurnTlsRefused;
        }
        return server ? std::nullopt : std::optional(error);
    }
    if (name == "rtp-ports") {
        return ParsePortRange(text, error) ? std::nullopt : std::optional(error);
    }
    if (name == "media-encryption") {
        if (text != "none" && text != "srtp" && text != "dtls" && text != "zrtp") {
            return "expected none, srtp, dtls or zrtp";
        }
        return std::nullopt;
    }
    if (name == "ca-file") {
        if (text.front() != '/' || text.size() > kMaxPathLength) {
            return "expected an absolute path";
        }
        return std::nullopt;
    }
    return CheckName(text);  // auth-user, realm, turn-user
}

}  // namespace

const std::vector<SipSettingInfo>& SipSettingList() {
    static const std::vector<SipSettingInfo> list = {
        {"identity", "Identity", SettingKind::Text, "SIP-ADDRESS",
         "who you are: sip:alice@example.org or\n'\"Alice\" <sip:alice@example.org>'", "(none)"},
        {"proxy", "Proxy", SettingKind::Text, "SIP-URI|''",
         "the provider's registrar: sip:HOST[:PORT]\n[;transport=udp|tcp|tls] or sips:HOST "
         "(TLS);\nempty: no registration, peers call you\ndirectly",
         "(none: direct calls)"},
        {"outbound-proxy", "OutboundProxy", SettingKind::Text, "SIP-URI|''",
         "where every request goes first, REGISTER\nincluded, when the provider names an\n"
         "outbound proxy: sip:HOST[:PORT][;transport=...]\nor sips:HOST",
         "(none: straight to the proxy)"},
        {"auth-user", "AuthUser", SettingKind::Text, "NAME|''",
         "the user name for the password, when the\nprovider's differs from the identity's",
         "(the identity's user)"},
        {"realm", "Realm", SettingKind::Text, "REALM|''",
         "answer only this realm's challenges (when\nthe provider names one)", "(any)"},
        {"expiry", "Expiry", SettingKind::Number, "SECONDS",
         "how long a registration lasts (60-86400)", "600 (default)"},
        {"listen", "Listen", SettingKind::Text, "ADDRESS:PORT",
         "where calls arrive, UDP and TCP; IPv6 as\n[ADDRESS]:PORT", "0.0.0.0:5060 (default)"},
        {"stun", "Stun", SettingKind::Text, "HOST[:PORT]|''",
         "a STUN server that tells the public address\nbehind a home router", "(none)"},
        {"ice", "Ice", SettingKind::Switch, "on|off", "ICE: offer every address (needs stun)",
         "off (default)"},
        {"turn", "Turn", SettingKind::Text, "HOST[:PORT][;transport=udp|tcp|tls]|''",
         "a TURN server that relays the calls' sound\nwhen no direct way works; over UDP, or over\n"
         "TCP where UDP is blocked (port 3478 unless\ngiven); turn: URIs too; not over TLS (the\n"
         "SIP stack's client can crash); it turns ICE\non; its password: turn-password",
         "(none)"},
        {"turn-user", "TurnUser", SettingKind::Text, "NAME|''", "the user name at the TURN server",
         "(the identity's user)"},
        {"rtp-ports", "RtpPorts", SettingKind::Text, "LOW-HIGH|''",
         "the UDP ports for the calls' sound (e.g.\n10000-20000)", "10000-19999 (default)"},
        {"media-encryption", "MediaEncryption", SettingKind::Text, "none|srtp|dtls|zrtp",
         "how the calls' sound is encrypted", "none (default)"},
        {"media-encryption-mandatory", "MediaEncryptionMandatory", SettingKind::Switch, "on|off",
         "refuse calls whose sound is not encrypted", "off (default)"},
        {"ca-file", "CaFile", SettingKind::Text, "PATH|''",
         "certificates (PEM) of a private CA, trusted\nbeside the system's for TLS",
         "(the system's CAs only)"},
        {"gruu", "Gruu", SettingKind::Switch, "on|off",
         "ask the registrar for a GRUU (some proxies\ncannot route to one: leave off)",
         "off (default)"},
        {"early-media", "EarlyMedia", SettingKind::Switch, "on|off",
         "callers hear the ring-back tone before the\nanswer", "on (default)"},
        {"max-calls", "MaxCalls", SettingKind::Number, "COUNT",
         "calls at once (1-1000); one more is refused\nbusy (486) and listed as missed",
         "20 (default)"},
    };
    return list;
}

const SipSettingInfo* FindSipSetting(std::string_view name) {
    for (const SipSettingInfo& setting : SipSettingList()) {
        if (name == setting.name) {
            return &setting;
        }
    }
    return nullptr;
}

std::optional<std::string> CheckSipSetting(const SipSettingInfo& setting, const std::string& text) {
    switch (setting.kind) {
        case SettingKind::Switch:
            if (text != "on" && text != "off") {
                return "expected on or off";
            }
            return std::nullopt;
        case SettingKind::Number: {
            const auto number = ParseNumber(text);
            if (std::string_view(setting.name) == "max-calls") {
                if (!number || *number < 1 || *number > kLargestMaxCalls) {
                    return "expected a number of calls from 1 to 1000";
                }
                return std::nullopt;
            }
            if (!number || *number < 60 || *number > 86400) {
                return "expected a number of seconds from 60 to 86400";
            }
            return std::nullopt;
        }
        case SettingKind::Text:
            break;
    }
    if (text.empty()) {
        return std::string_view(setting.name) == "identity"
                   ? std::optional<std::string>("no SIP identity given")
                   : std::nullopt;
    }
    return CheckText(setting.name, text);
}

std::optional<PortRange> ParsePortRange(std::string_view text, std::string& error) {
    const size_t dash = text.find('-');
    const auto low = ParseNumber(text.substr(0, dash));
    const auto high =
        dash == std::string_view::npos ? std::nullopt : ParseNumber(text.substr(dash + 1));
    if (!low || !high || *low < 1024 || *high > 65535 || *low > *high) {
        error = "expected LOW-HIGH, two ports from 1024 to 65535, LOW not above HIGH";
        return std::nullopt;
    }
    return PortRange{static_cast<uint16_t>(*low), static_cast<uint16_t>(*high)};
}

}  // namespace velto::skype::sip
