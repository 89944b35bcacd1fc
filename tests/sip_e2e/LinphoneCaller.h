#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "WavTone.h"

struct _LinphoneCore;
struct _LinphoneCall;

// A second SIP stack (liblinphone, as velto's) that calls velto, for what baresip cannot
// do (ZRTP): its own core on a loopback address of its own (port 5060), on files, no sound
// card. It runs on the thread that calls Iterate, which the test does while it waits.
namespace velto::test {

class LinphoneCaller {
  public:
    // `address`: one per test (PeerAddress). Says `voice` into the call and keeps what it
    // hears in `folder`/heard.wav.
    LinphoneCaller(std::filesystem::path folder, const std::string& address,
                   const std::filesystem::path& voice);
    // Hangs up what still runs.
    ~LinphoneCaller();
    LinphoneCaller(const LinphoneCaller&) = delete;
    LinphoneCaller& operator=(const LinphoneCaller&) = delete;

    // Offers ZRTP (not required of the callee) in the calls from now on.
    void UseZrtp();
    bool Call(const std::string& target);
    void HangUp();
    // One turn of its stack.
    void Iterate();

    bool Ended() const;
    // The call's media encryption (a LinphoneMediaEncryption) as it runs now.
    int MediaEncryption() const;
    // The ZRTP short authentication string, once agreed ("" before).
    std::string Sas() const;
    // The SIP status code that ended the call (0: none).
    int ProtocolCode() const;
    std::chrono::steady_clock::time_point started() const { return started_; }
    std::optional<Pcm> Heard() const;

  private:
    std::filesystem::path folder_;
    _LinphoneCore* core_ = nullptr;
    _LinphoneCall* call_ = nullptr;
    bool zrtp_ = false;
    std::chrono::steady_clock::time_point started_;
};

}  // namespace velto::test
