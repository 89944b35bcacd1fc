#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>

// A real registrar and proxy for the tests: Kamailio on a loopback address of its own,
// UDP and TCP on 5060, TLS on 5061 with a certificate from a CA the test makes, digest
// authentication with fixed passwords per authentication user, realm kRealm.
namespace velto::test {

class Kamailio {
  public:
    static constexpr const char* kRealm = "velto.test";

    // `passwords`: authentication user -> password.
    Kamailio(std::filesystem::path folder, std::string address,
             std::map<std::string, std::string> passwords);
    ~Kamailio();
    Kamailio(const Kamailio&) = delete;
    Kamailio& operator=(const Kamailio&) = delete;

    static bool Available();
    // Starts it and waits (real time, at most 5 s) until it takes connections.
    bool Start();
    void Stop();

    const std::string& address() const { return address_; }
    // The CA that signed the server's certificate (PEM).
    std::filesystem::path CaFile() const { return folder_ / "ca.pem"; }
    std::string Log() const;
    // Waits (real time, at most `limit`) until the log holds `text` after `from` characters.
    bool WaitForLog(const std::string& text, std::chrono::milliseconds limit,
                    size_t from = 0) const;

  private:
    void WriteConfig();

    std::filesystem::path folder_;
    std::string address_;
    std::map<std::string, std::string> passwords_;
    pid_t pid_ = -1;
};

}  // namespace velto::test
