#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "WavTone.h"

// A real SIP peer for the tests: baresip on its own loopback address (port 5060), saying
// the sound of a WAV file into the call and keeping what it hears in dump files. It runs
// under `timeout`, so that it ends even when it hangs on its way out.
namespace velto::test {

class SipPeer {
  public:
    // `address`: one per test (PeerAddress), so that tests can run side by side.
    SipPeer(std::filesystem::path folder, std::string address, std::filesystem::path voice);
    // Kills what still runs.
    ~SipPeer();
    SipPeer(const SipPeer&) = delete;
    SipPeer& operator=(const SipPeer&) = delete;

    static bool Available();
    std::string Uri() const { return "sip:alice@" + Domain(); }
    std::string Handle() const { return "alice@" + Domain(); }
    // Offers only `codec` (as baresip names it: "G722", "PCMA", "opus"), from `module`,
    // and says a sine of `hz` instead of the voice file (any rate, any channels).
    void UseCodec(const std::string& module, const std::string& codec, int hz);
    // Encrypts the call's media: `mediaenc` as baresip names it ("srtp-mand", ...).
    void UseMediaEncryption(const std::string& mediaenc);
    // Negotiates the call's addresses with ICE (the caller's side of a relayed call).
    void UseIce();
    // Runs in the network namespace `path` (for nsenter --net=), not the test's.
    void RunInNetwork(const std::string& path) { network_ = path; }
    // From now on it is alice at `registrar` (a host), registered there with `password`.
    void RegisterAt(const std::string& registrar, const std::string& password);

    // Calls `target` at once and hangs up after `seconds` (or when the callee does).
    void Call(const std::string& target, int seconds);
    // Runs without calling, for `seconds`.
    void Idle(int seconds);
    // A command on baresip's standard input (e.g. "/presence_offline").
    void Send(const std::string& command);
    // Waits for the end (real time, at most `limit`); false when it had to be killed.
    bool Wait(std::chrono::milliseconds limit);

    // Waits (real time, at most `limit`) until baresip's output holds `text`.
    bool WaitForLog(const std::string& text, std::chrono::milliseconds limit) const;
    // What the peer heard in its last call.
    std::optional<Pcm> Heard() const;
    std::string Log() const;
    std::chrono::steady_clock::time_point started() const { return started_; }

  private:
    // Kills what still runs (baresip with its `timeout`).
    void Stop();
    void Start(const std::string& dial, int seconds);
    void WriteConfig();
    void WriteAccount();

    std::string Domain() const { return registrar_.empty() ? address_ : registrar_; }

    std::filesystem::path folder_;
    std::string address_;
    std::string registrar_;
    std::filesystem::path voice_;
    std::string codecModule_ = "g711.so";
    std::string source_;
    std::string accountParameters_;
    std::string extraModules_;
    std::string network_;
    pid_t pid_ = -1;
    int input_ = -1;
    std::chrono::steady_clock::time_point started_;
};

// A loopback address of this test process's own, 127.A.B.`last` with A.B from the process
// id: tests that run at the same time (another build's, say) never share a peer's port.
std::string PeerAddress(int last);

// A port on 127.0.0.1 free for UDP and TCP, outside the range of outgoing connections.
uint16_t FreeUdpPort();

}  // namespace velto::test
