#include "sipaccount/SipAddress.h"

#include <arpa/inet.h>

#include <cctype>
#include <cstdio>

#include "sipaccount/TrimBlanks.h"

namespace velto::skype::sip {
namespace {

constexpr size_t kMaxAddressLength = 512;

// The character at byte `i` as the user would recognise it: a whole UTF-8 letter (not its
// first byte, which no screen can show alone), U+XXXX for an invisible control, and the
// byte's value for one that starts no letter.
std::string ShownCharacter(std::string_view text, size_t i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    char code[16];
    if (byte < 0x20 || byte == 0x7f) {
        std::snprintf(code, sizeof code, "U+%04X", byte);
        return code;
    }
    const size_t length = byte >= 0xf8   ? 0
                          : byte >= 0xf0 ? 4
                          : byte >= 0xe0 ? 3
                          : byte >= 0xc0 ? 2
                          : byte >= 0x80 ? 0
                                         : 1;
    size_t end = i + 1;
    while (end < text.size() && end < i + length &&
           (static_cast<unsigned char>(text[end]) & 0xc0) == 0x80) {
        ++end;
    }
    if (length == 0 || end - i != length) {
        std::snprintf(code, sizeof code, "byte 0x%02X", byte);
        return code;
    }
    return std::string(text.substr(i, end - i));
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower;
}

// Characters allowed in the user part (RFC 3261 unreserved plus the user-unreserved marks,
// and %-escapes).
bool UserChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 ||
           std::string_view("-_.!~*'()&=+$,?/%").find(c) != std::string_view::npos;
}

bool HostChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '.';
}

bool Ipv6Text(const std::string& text) {
    in6_addr parsed{};
    return text.size() <= 45 && inet_pton(AF_INET6, text.c_str(), &parsed) == 1;
}

std::optional<uint16_t> ParsePort(std::string_view text) {
    if (text.empty() || text.size() > 5) {
        return std::nullopt;
    }
    uint32_t port = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        port = port * 10 + static_cast<uint32_t>(c - '0');
    }
    if (port == 0 || port > 65535) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(port);
}

std::string PortError(std::string_view text) {
    return "the port \"" + std::string(text) + "\" is not a number from 1 to 65535";
}

// `name[=value]` after a ';'.
bool ParseParameter(std::string_view parameter, SipAddress& address, std::string& error) {
    const size_t equals = parameter.find('=');
    const std::string name = Lower(parameter.substr(0, equals));
    const std::string value =
        equals == std::string_view::npos ? std::string() : Lower(parameter.substr(equals + 1));
    if (name == "transport") {
        if (value != "udp" && value != "tcp" && value != "tls") {
            error = "the transport \"" + value + "\" is not one of udp, tcp, tls";
            return false;
        }
        if (address.secure && value != "tls") {
            error = "a sips: address goes over TLS, not over " + value;
            return false;
        }
        address.transport = value;
        return true;
    }
    if (name == "lr" && equals == std::string_view::npos) {
        address.looseRoute = true;
        return true;
    }
    error = "the parameter \"" + std::string(parameter) + "\" is not known (known: transport, lr)";
    return false;
}

// `host[:port]`, the host a name, an IPv4 address or an IPv6 address in brackets.
bool ParseHostPort(std::string_view text, SipAddress& address, std::string& error) {
    std::string_view host = text;
    std::string_view rest;
    if (!text.empty() && text.front() == '[') {
        const size_t close = text.find(']');
        if (close == std::string_view::npos) {
            error = "'[' without a closing ']'";
            return false;
        }
        host = text.substr(0, close + 1);
        rest = text.substr(close + 1);
        if (!Ipv6Text(std::string(host.substr(1, host.size() - 2)))) {
            error = "\"" + std::string(host) + "\" is not an IPv6 address";
            return false;
        }
        if (!rest.empty() && rest.front() != ':') {
            error = "unexpected text \"" + std::string(rest) + "\" after the IPv6 address";
            return false;
        }
    } else {
        const size_t colon = text.find(':');
        if (colon != std::string_view::npos) {
            host = text.substr(0, colon);
            rest = text.substr(colon);
        }
        if (host.empty()) {
            error = "no host name";
            return false;
        }
        for (size_t i = 0; i < host.size(); ++i) {
            if (!HostChar(host[i])) {
                error = "the host name holds the character '" + ShownCharacter(host, i) + "'";
                return false;
            }
        }
    }
    if (!rest.empty()) {
        const auto port = ParsePort(rest.substr(1));
        if (!port) {
            error = PortError(rest.substr(1));
            return false;
        }
        address.port = *port;
    }
    address.host = std::string(host);
    return true;
}

// Cuts a display name and the angle brackets around the address, if there are any.
bool TakeDisplayName(std::string_view& text, SipAddress& address, std::string& error) {
    const size_t open = text.find('<');
    if (open == std::string_view::npos) {
        return true;
    }
    if (text.back() != '>') {
        error = "'<' without a closing '>' at the end";
        return false;
    }
    std::string_view name = TrimBlanks(text.substr(0, open));
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
        name = name.substr(1, name.size() - 2);
    }
    if (name.find('"') != std::string_view::npos) {
        error = "a stray '\"' in the display name";
        return false;
    }
    address.displayName = std::string(name);
    text = TrimBlanks(text.substr(open + 1, text.size() - open - 2));
    return true;
}

}  // namespace

std::string SipAddress::Handle() const {
    return user.empty() ? host : user + "@" + host;
}

std::string SipAddress::Uri() const {
    std::string uri = (secure ? "sips:" : "sip:") + Handle();
    if (port != 0) {
        uri += ":" + std::to_string(port);
    }
    if (!transport.empty()) {
        uri += ";transport=" + transport;
    }
    if (looseRoute) {
        uri += ";lr";
    }
    return uri;
}

std::string SipAddress::Transport() const {
    if (secure) {
        return "tls";
    }
    return transport.empty() ? "udp" : transport;
}

std::optional<SipAddress> ParseSipAddress(std::string_view text, std::string& error) {
    text = TrimBlanks(text);
    if (text.empty()) {
        error = "no address given";
        return std::nullopt;
    }
    if (text.size() > kMaxAddressLength) {
        error = "the address is longer than " + std::to_string(kMaxAddressLength) + " characters";
        return std::nullopt;
    }
    SipAddress address;
    if (!TakeDisplayName(text, address, error)) {
        return std::nullopt;
    }
    if (StartsWithNoCase(text, "sips:")) {
        address.secure = true;
        text.remove_prefix(5);
    } else if (StartsWithNoCase(text, "sip:")) {
        text.remove_prefix(4);
    } else {
        error = "it does not start with \"sip:\" or \"sips:\"";
        return std::nullopt;
    }
    // Parameters follow the host; a ';' in the user part belongs to the user.
    const size_t at = text.rfind('@');
    const size_t semicolon = text.find(';', at == std::string_view::npos ? 0 : at);
    std::string_view parameters;
    if (semicolon != std::string_view::npos) {
        parameters = text.substr(semicolon + 1);
        text = text.substr(0, semicolon);
    }
    if (at != std::string_view::npos) {
        const std::string_view user = text.substr(0, at);
        if (user.empty()) {
            error = "nothing before '@'";
            return std::nullopt;
        }
        for (size_t i = 0; i < user.size(); ++i) {
            if (!UserChar(user[i]) && user[i] != ';') {
                error = "the user part holds the character '" + ShownCharacter(user, i) + "'";
                return std::nullopt;
            }
        }
        address.user = std::string(user);
        text.remove_prefix(at + 1);
    }
    if (!ParseHostPort(text, address, error)) {
        return std::nullopt;
    }
    while (semicolon != std::string_view::npos) {
        const size_t next = parameters.find(';');
        if (!ParseParameter(parameters.substr(0, next), address, error)) {
            return std::nullopt;
        }
        if (next == std::string_view::npos) {
            break;
        }
        parameters.remove_prefix(next + 1);
    }
    return address;
}

std::optional<ListenAddress> ParseListenAddress(std::string_view text, std::string& error) {
    text = TrimBlanks(text);
    ListenAddress listen;
    if (text.empty()) {
        return listen;
    }
    const size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || (text.front() == '[' && text[colon - 1] != ']')) {
        error = "expected ADDRESS:PORT";
        return std::nullopt;
    }
    const auto port = ParsePort(text.substr(colon + 1));
    if (!port) {
        error = PortError(text.substr(colon + 1));
        return std::nullopt;
    }
    listen.port = *port;
    std::string address(text.substr(0, colon));
    if (address.size() >= 2 && address.front() == '[' && address.back() == ']') {
        address = address.substr(1, address.size() - 2);
        if (!Ipv6Text(address)) {
            error = "\"" + address + "\" is not an IPv6 address";
            return std::nullopt;
        }
        listen.address = address;
    } else if (!address.empty()) {
        in_addr parsed{};
        if (address.size() > 15 || inet_pton(AF_INET, address.c_str(), &parsed) != 1) {
            error = "\"" + address + "\" is not an IPv4 address (IPv6: [ADDRESS]:PORT)";
            return std::nullopt;
        }
        listen.address = address;
    }
    return listen;
}

}  // namespace velto::skype::sip
