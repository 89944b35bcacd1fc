#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "backends/sip/AccountPassword.h"
#include "backends/sip/SipAddress.h"
#include "platform/Registry.h"

namespace velto::skype::sip {

// The SIP account in the user hive, HKEY_CURRENT_USER\Software\Velto\Sip:
//   Identity   REG_SZ    sip:alice@example.org (optionally "Name" <sip:...>)
//   Listen     REG_SZ    ADDRESS:PORT (default 0.0.0.0:5060)
//   Proxy      REG_SZ    registrar / outbound proxy; empty: no registration
//   EarlyMedia REG_DWORD 1 (default): the caller hears the ring-back before the answer
//   MaxCalls   REG_DWORD calls at once (default 20, 1..1000); one more is refused busy
//   Password   REG_SZ    the account's password, only while no keyring could take it
//                        (the user hive is private to the user); see AccountPassword
inline constexpr const char* kSipKey = "Software\\Velto\\Sip";
inline constexpr const char* kIdentityValue = "Identity";
inline constexpr const char* kListenValue = "Listen";
inline constexpr const char* kProxyValue = "Proxy";
inline constexpr const char* kEarlyMediaValue = "EarlyMedia";
inline constexpr const char* kPasswordValue = "Password";
inline constexpr const char* kMaxCallsValue = "MaxCalls";
inline constexpr uint32_t kDefaultMaxCalls = 20;
inline constexpr uint32_t kLargestMaxCalls = 1000;

struct SipSettings {
    SipAddress identity;
    std::string identityText;  // as configured, for the core
    ListenAddress listen;
    std::string proxy;  // empty: direct calls, no registration
    bool earlyMedia = true;
    uint32_t maxCalls = kDefaultMaxCalls;
    std::string password;
    std::string passwordPlace;    // where it was found ("keyring", "user file"); empty: none
    std::string passwordProblem;  // why the keyring could not be asked, if it could not
};

// The settings, or an error that names the setting (e.g. "Identity: it does not start
// with \"sip:\""). An absent identity is an error too: the backend cannot run without one.
struct SipSettingsResult {
    std::optional<SipSettings> settings;
    std::string error;
};
SipSettingsResult ReadSipSettings(const platform::Registry& registry, AccountPassword& password);
// The same with the password from the user hive alone (no keyring is asked).
SipSettingsResult ReadSipSettings(const platform::Registry& registry);

// True when an identity is set (valid or not): the program then means to use SIP.
bool SipIdentityConfigured(const platform::Registry& registry);

}  // namespace velto::skype::sip
