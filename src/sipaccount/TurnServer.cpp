#include "sipaccount/TurnServer.h"

#include <cctype>

#include "sipaccount/SipAddress.h"

namespace velto::skype::sip {
namespace {

constexpr std::string_view kTurnForm = "expected HOST[:PORT][;transport=udp|tcp|tls]";

bool StartsWithScheme(std::string_view text, std::string_view scheme) {
    if (text.size() <= scheme.size()) {
        return false;
    }
    for (size_t i = 0; i < scheme.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != scheme[i]) {
            return false;
        }
    }
    // `turn:3478` is the host "turn" at port 3478, not a URI.
    const std::string_view rest = text.substr(scheme.size());
    const size_t end = rest.find_first_of(";?");
    const std::string_view port = rest.substr(0, end);
    for (char c : port) {
        if (c < '0' || c > '9') {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string TurnServer::TransportName() const {
    std::string name = transport;
    for (char& c : name) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return name;
}

std::optional<TurnServer> ParseTurnServer(std::string_view text, std::string& error) {
    bool secure = false;
    if (StartsWithScheme(text, "turns:")) {
        secure = true;
        text.remove_prefix(6);
    } else if (StartsWithScheme(text, "turn:")) {
        text.remove_prefix(5);
    }
    // A TURN URI's query (`?transport=tcp`) is a parameter here like a SIP URI's.
    std::string hostPart(text);
    const size_t query = hostPart.find('?');
    if (query != std::string::npos) {
        hostPart[query] = ';';
    }
    const auto address = ParseSipAddress("sip:" + hostPart, error);
    if (!address) {
        return std::nullopt;
    }
    if (!address->user.empty() || address->looseRoute) {
        error = kTurnForm;
        return std::nullopt;
    }
    TurnServer server;
    server.host = address->host;
    server.transport = address->transport.empty() ? "udp" : address->transport;
    if (secure) {
        // TLS runs over TCP: `turns:...?transport=tcp` is TLS too; over UDP it would be
        // DTLS, which the SIP stack cannot do.
        if (server.transport == "udp" && !address->transport.empty()) {
            error = "a turns: server goes over TLS, not over udp";
            return std::nullopt;
        }
        server.transport = "tls";
    }
    const uint16_t defaultPort = server.transport == "tls" ? kTurnTlsPort : kTurnPort;
    server.port = address->port != 0 ? address->port : defaultPort;
    return server;
}

}  // namespace velto::skype::sip
