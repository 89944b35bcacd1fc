#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

// A bare SIP endpoint on loopback UDP for what baresip cannot be made to do: requests
// written by hand (a broken offer, a private message type) and a registrar that answers
// as the test says. One datagram is one message.
namespace velto::test {

class RawSip {
  public:
    // Binds `address`:`port` (port 0: the system's choice).
    RawSip(const std::string& address, uint16_t port);
    ~RawSip();
    RawSip(const RawSip&) = delete;
    RawSip& operator=(const RawSip&) = delete;

    bool Bound() const { return fd_ >= 0; }
    const std::string& address() const { return address_; }
    uint16_t port() const { return port_; }
    // To 127.0.0.1:`port`.
    void SendTo(uint16_t port, const std::string& message);
    // The next message, waiting at most `limit` of real time (0: only what has arrived).
    std::optional<std::string> Receive(std::chrono::milliseconds limit);
    // The next message whose start line begins with `start` ("SIP/2.0 4", "MESSAGE"...);
    // others are dropped.
    std::optional<std::string> ReceiveStarting(const std::string& start,
                                               std::chrono::milliseconds limit);

    // An INVITE to `target` (sip:user@127.0.0.1:port) from this endpoint, offering `sdp`.
    std::string Invite(const std::string& target, const std::string& callId,
                       const std::string& sdp) const;
    // The ACK of a final answer (not 2xx) to `invite`.
    std::string AckFor(const std::string& invite, const std::string& response) const;
    // An out-of-dialog MESSAGE of `contentType` to `target`.
    std::string Message(const std::string& target, const std::string& contentType,
                        const std::string& body) const;

    // The answer `code` to `request`: its Via, From, Call-ID and CSeq, its To with a tag.
    static std::string Response(const std::string& request, int code, const std::string& reason,
                                const std::string& extraHeaders = "");
    // The status code of a response (0 for a request).
    static int StatusOf(const std::string& message);
    // The first value of header `name` (case-insensitive), without surrounding blanks.
    static std::string Header(const std::string& message, const std::string& name);
    static std::string Body(const std::string& message);

  private:
    std::string Uri() const;

    int fd_ = -1;
    std::string address_;
    uint16_t port_ = 0;
};

}  // namespace velto::test
