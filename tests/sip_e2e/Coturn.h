#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>

// A TURN server for the tests: coturn on an address of its own, long-term credentials with
// one fixed user in realm kRealm, relaying over UDP on its own address. Its clients reach
// it over one transport: "udp" (UDP and TCP on 3478), "tcp" (TCP alone on 3478) or "tls"
// (TLS alone on 5349, with a certificate from a CA the test makes). Its log (allocations,
// and each session's relayed bytes and packets when the session ends) goes to a file in
// `folder`.
namespace velto::test {

class Coturn {
  public:
    static constexpr const char* kRealm = "turn.velto.test";
    static constexpr uint16_t kPort = 3478;
    static constexpr uint16_t kTlsPort = 5349;

    Coturn(std::filesystem::path folder, std::string address, std::string user,
           std::string password, std::string transport = "udp");
    ~Coturn();
    Coturn(const Coturn&) = delete;
    Coturn& operator=(const Coturn&) = delete;

    static bool Available();
    // Over TLS: the name its certificate is made out to (by default its address).
    void CertifyAs(std::string name) { certifiedName_ = std::move(name); }
    // Starts it and waits (real time, at most 5 s) until it takes connections.
    bool Start();
    // Ends it (SIGTERM, then SIGKILL after 2 s): it logs what each open session relayed.
    void Stop();

    uint16_t Port() const { return transport_ == "tls" ? kTlsPort : kPort; }
    std::string Server() const { return address_ + ":" + std::to_string(Port()); }
    // The server as the Turn setting names it, its transport included.
    std::string Setting() const { return Server() + ";transport=" + transport_; }
    // The CA that signed the server's certificate (PEM), over TLS.
    std::filesystem::path CaFile() const { return folder_ / "ca.pem"; }
    std::string Log() const;
    // Waits (real time, at most `limit`) until the log holds `text`.
    bool WaitForLog(const std::string& text, std::chrono::milliseconds limit) const;

  private:
    std::filesystem::path folder_;
    std::string address_;
    std::string user_;
    std::string password_;
    std::string transport_;
    std::string certifiedName_;
    pid_t pid_ = -1;
};

}  // namespace velto::test
