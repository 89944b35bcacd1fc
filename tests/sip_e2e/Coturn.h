#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>

// A TURN server for the tests: coturn on an address of its own, port 3478, UDP and TCP, no
// TLS, long-term credentials with one fixed user in realm kRealm, relaying on its own
// address. Its log (allocations, and each session's relayed bytes and packets when the
// session ends) goes to a file in `folder`.
namespace velto::test {

class Coturn {
  public:
    static constexpr const char* kRealm = "turn.velto.test";
    static constexpr uint16_t kPort = 3478;

    Coturn(std::filesystem::path folder, std::string address, std::string user,
           std::string password);
    ~Coturn();
    Coturn(const Coturn&) = delete;
    Coturn& operator=(const Coturn&) = delete;

    static bool Available();
    // Starts it and waits (real time, at most 5 s) until it takes connections.
    bool Start();
    // Ends it (SIGTERM, then SIGKILL after 2 s): it logs what each open session relayed.
    void Stop();

    std::string Server() const { return address_ + ":" + std::to_string(kPort); }
    std::string Log() const;
    // Waits (real time, at most `limit`) until the log holds `text`.
    bool WaitForLog(const std::string& text, std::chrono::milliseconds limit) const;

  private:
    std::filesystem::path folder_;
    std::string address_;
    std::string user_;
    std::string password_;
    pid_t pid_ = -1;
};

}  // namespace velto::test
