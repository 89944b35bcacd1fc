#include "sipaccount/SipAddress.h"

#include <arpa/inet.h>

#include <cctype>

namespace velto::skype::sip {
namespace {

constexpr size_t kMaxAddressLength = 512;

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
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

// Characters allowed in the user part (RFC 3261 unreserved plus the user-unreserved marks,
// and %-escapes).
bool UserChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 ||
           std::string_view("-_.!~*'()&=+$,;?/%").find(c) != std::string_view::npos;
}

bool HostChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '.';
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

}  // namespace

std::string SipAddress::Handle() const {
    return user.empty() ? host : user + "@" + host;
}

std::string SipAddress::Uri() const {
    std::string uri = "sip:" + Handle();
    if (port != 0) {
        uri += ":" + std::to_string(port);
    }
    return uri;
}

std::optional<SipAddress> ParseSipAddress(std::string_view text, std::string& error) {
    text = Trim(text);
    if (text.empty()) {
        error = "no address given";
        return std::nullopt;
    }
    if (text.size() > kMaxAddressLength) {
        error = "the address is longer than " + std::to_string(kMaxAddressLength) + " characters";
        return std::nullopt;
    }
    SipAddress address;
    const size_t open = text.find('<');
    if (open != std::string_view::npos) {
        if (text.back() != '>') {
            error = "'<' without a closing '>' at the end";
            return std::nullopt;
        }
        std::string_view name = Trim(text.substr(0, open));
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
            name = name.substr(1, name.size() - 2);
        }
        if (name.find('"') != std::string_view::npos) {
            error = "a stray '\"' in the display name";
            return std::nullopt;
        }
        address.displayName = std::string(name);
        text = Trim(text.substr(open + 1, text.size() - open - 2));
    }
    if (!StartsWithNoCase(text, "sip:")) {
        error = "it does not start with \"sip:\"";
        return std::nullopt;
    }
    text.remove_prefix(4);
    const size_t at = text.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view user = text.substr(0, at);
        if (user.empty()) {
            error = "nothing before '@'";
            return std::nullopt;
        }
        for (char c : user) {
            if (!UserChar(c)) {
                error = std::string("the user part holds the character '") + c + "'";
                return std::nullopt;
            }
        }
        address.user = std::string(user);
        text.remove_prefix(at + 1);
    }
    std::string_view host = text;
    const size_t colon = host.find(':');
    if (colon != std::string_view::npos) {
        const auto port = ParsePort(host.substr(colon + 1));
        if (!port) {
            error = "the port \"" + std::string(host.substr(colon + 1)) +
                    "\" is not a number from 1 to 65535";
            return std::nullopt;
        }
        address.port = *port;
        host = host.substr(0, colon);
    }
    if (host.empty()) {
        error = "no host name";
        return std::nullopt;
    }
    for (char c : host) {
        if (!HostChar(c)) {
            error = std::string("the host name holds the character '") + c + "'";
            return std::nullopt;
        }
    }
    address.host = std::string(host);
    return address;
}

std::optional<ListenAddress> ParseListenAddress(std::string_view text, std::string& error) {
    text = Trim(text);
    ListenAddress listen;
    if (text.empty()) {
        return listen;
    }
    const size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) {
        error = "expected ADDRESS:PORT";
        return std::nullopt;
    }
    const auto port = ParsePort(text.substr(colon + 1));
    if (!port) {
        error = "the port \"" + std::string(text.substr(colon + 1)) +
                "\" is not a number from 1 to 65535";
        return std::nullopt;
    }
    listen.port = *port;
    const std::string address(text.substr(0, colon));
    if (!address.empty()) {
        in_addr parsed{};
        if (address.size() > 15 || inet_pton(AF_INET, address.c_str(), &parsed) != 1) {
            error = "\"" + address + "\" is not an IPv4 address";
            return std::nullopt;
        }
        listen.address = address;
    }
    return listen;
}

}  // namespace velto::skype::sip
