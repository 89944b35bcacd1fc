#include "RawSip.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <sstream>

namespace velto::test {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Trim(const std::string& text) {
    const auto begin = text.find_first_not_of(" \t\r");
    const auto end = text.find_last_not_of(" \t\r");
    return begin == std::string::npos ? std::string() : text.substr(begin, end - begin + 1);
}

// Every header line of `message` named `name`, whole ("Via: ...").
std::string Lines(const std::string& message, const std::string& name) {
    std::istringstream in(message);
    std::string line, out;
    while (std::getline(in, line) && line != "\r" && !line.empty()) {
        const auto colon = line.find(':');
        if (colon != std::string::npos && Lower(Trim(line.substr(0, colon))) == Lower(name)) {
            if (line.back() != '\r') {
                line += '\r';
            }
            out += line + "\n";
        }
    }
    return out;
}

std::string WithBody(std::string head, const std::string& contentType, const std::string& body) {
    if (!contentType.empty()) {
        head += "Content-Type: " + contentType + "\r\n";
    }
    head += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    return head;
}

}  // namespace

RawSip::RawSip(const std::string& address, uint16_t port) : address_(address) {
    fd_ = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    inet_pton(AF_INET, address.c_str(), &local.sin_addr);
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
        if (fd_ >= 0) {
            close(fd_);
        }
        fd_ = -1;
        return;
    }
    socklen_t length = sizeof local;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length);
    port_ = ntohs(local.sin_port);
}

RawSip::~RawSip() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

void RawSip::SendTo(uint16_t port, const std::string& message) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    (void)!sendto(fd_, message.data(), message.size(), 0, reinterpret_cast<sockaddr*>(&to),
                  sizeof to);
}

std::optional<std::string> RawSip::Receive(std::chrono::milliseconds limit) {
    pollfd readable{fd_, POLLIN, 0};
    if (fd_ < 0 || poll(&readable, 1, static_cast<int>(limit.count())) <= 0) {
        return std::nullopt;
    }
    std::string buffer(65536, '\0');
    const ssize_t got = recv(fd_, buffer.data(), buffer.size(), 0);
    if (got <= 0) {
        return std::nullopt;
    }
    buffer.resize(static_cast<size_t>(got));
    return buffer;
}

std::optional<std::string> RawSip::ReceiveStarting(const std::string& start,
                                                   std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        auto message = Receive(std::max(left, std::chrono::milliseconds(0)));
        if (!message) {
            return std::nullopt;
        }
        if (message->rfind(start, 0) == 0) {
            return message;
        }
    }
}

std::string RawSip::Uri() const {
    return "sip:raw@" + address_ + ":" + std::to_string(port_);
}

std::string RawSip::Invite(const std::string& target, const std::string& callId,
                           const std::string& sdp) const {
    std::string head = "INVITE " + target + " SIP/2.0\r\n";
    head += "Via: SIP/2.0/UDP " + address_ + ":" + std::to_string(port_) + ";branch=z9hG4bK" +
            callId + ";rport\r\n";
    head += "Max-Forwards: 70\r\n";
    head += "From: <" + Uri() + ">;tag=" + callId + "\r\n";
    head += "To: <" + target + ">\r\n";
    head += "Call-ID: " + callId + "\r\n";
    head += "CSeq: 1 INVITE\r\n";
    head += "Contact: <" + Uri() + ">\r\n";
    return WithBody(head, "application/sdp", sdp);
}

std::string RawSip::AckFor(const std::string& invite, const std::string& response) const {
    std::string head = "ACK " + invite.substr(7, invite.find(' ', 7) - 7) + " SIP/2.0\r\n";
    head += Lines(invite, "Via") + "Max-Forwards: 70\r\n" + Lines(invite, "From") +
            Lines(response, "To") + Lines(invite, "Call-ID") + "CSeq: 1 ACK\r\n";
    return WithBody(head, "", "");
}

std::string RawSip::Message(const std::string& target, const std::string& contentType,
                            const std::string& body) const {
    static int count = 0;
    const std::string id = "raw-message-" + std::to_string(++count);
    std::string head = "MESSAGE " + target + " SIP/2.0\r\n";
    head += "Via: SIP/2.0/UDP " + address_ + ":" + std::to_string(port_) + ";branch=z9hG4bK" + id +
            ";rport\r\n";
    head += "Max-Forwards: 70\r\n";
    head += "From: <" + Uri() + ">;tag=" + id + "\r\n";
    head += "To: <" + target + ">\r\n";
    head += "Call-ID: " + id + "\r\n";
    head += "CSeq: 1 MESSAGE\r\n";
    return WithBody(head, contentType, body);
}

std::string RawSip::Response(const std::string& request, int code, const std::string& reason,
                             const std::string& extraHeaders) {
    std::string to = Lines(request, "To");
    if (to.find(";tag=") == std::string::npos) {
        to.insert(to.size() - 2, ";tag=raw" + std::to_string(code));
    }
    std::string head = "SIP/2.0 " + std::to_string(code) + " " + reason + "\r\n";
    head += Lines(request, "Via") + Lines(request, "From") + to + Lines(request, "Call-ID") +
            Lines(request, "CSeq") + extraHeaders;
    return WithBody(head, "", "");
}

int RawSip::StatusOf(const std::string& message) {
    if (message.rfind("SIP/2.0 ", 0) != 0 || message.size() < 11) {
        return 0;
    }
    return std::atoi(message.substr(8, 3).c_str());
}

std::string RawSip::Header(const std::string& message, const std::string& name) {
    const std::string line = Lines(message, name);
    const auto colon = line.find(':');
    const auto end = line.find('\n');
    return colon == std::string::npos ? std::string()
                                      : Trim(line.substr(colon + 1, end - colon - 1));
}

std::string RawSip::Body(const std::string& message) {
    const auto at = message.find("\r\n\r\n");
    return at == std::string::npos ? std::string() : message.substr(at + 4);
}

}  // namespace velto::test
