#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/Registry.h"
#include "sipaccount/AccountPassword.h"
#include "sipaccount/SipAddress.h"
#include "sipaccount/SipSettingList.h"

namespace velto::skype::sip {

// The SIP account in the user hive, HKEY_CURRENT_USER\Software\Velto\Sip, one value per
// entry of SipSettingList (Identity, Proxy, AuthUser, ...), and:
//   Password   REG_SZ    the account's password, only while no keyring could take it
//                        (the user hive is private to the user); see AccountPassword
//   TurnPassword REG_SZ  the TURN server's password, kept the same way
inline constexpr const char* kSipKey = "Software\\Velto\\Sip";
inline constexpr const char* kIdentityValue = "Identity";
inline constexpr const char* kListenValue = "Listen";
inline constexpr const char* kProxyValue = "Proxy";
inline constexpr const char* kEarlyMediaValue = "EarlyMedia";
inline constexpr const char* kPasswordValue = kAccountPassword.hiveValue;
inline constexpr const char* kTurnPasswordValue = kTurnPassword.hiveValue;
inline constexpr const char* kMaxCallsValue = "MaxCalls";
inline constexpr const char* kMediaEncryptionMandatoryValue = "MediaEncryptionMandatory";
inline constexpr uint32_t kDefaultMaxCalls = 20;

inline constexpr uint32_t kDefaultExpiry = 600;
// Each call's sound on a port of its own, drawn from here: a caller still sending to the
// port of a call that ended with a crash must not land in the next call (a fixed port
// did: the next message recorded the earlier caller).
inline constexpr PortRange kDefaultRtpPorts{10000, 19999};

struct SipSettings {
    SipAddress identity;
    std::string identityText;  // as configured, for the core
    ListenAddress listen;
    std::string proxy;  // as configured; empty: direct calls, no registration
    std::optional<SipAddress> proxyAddress;
    std::string outboundProxy;  // empty: requests go to the proxy itself
    std::optional<SipAddress> outboundProxyAddress;
    std::string authUser;  // empty: the identity's user
    std::string realm;     // empty: any
    uint32_t expiry = kDefaultExpiry;
    std::string stun;      // HOST[:PORT]; empty: none
    bool ice = false;      // also on whenever a TURN server is set: relay addresses are ICE's
    std::string turn;      // HOST[:PORT]; empty: none
    std::string turnUser;  // empty: the identity's user
    std::optional<PortRange> rtpPorts;  // none: kDefaultRtpPorts
    std::string mediaEncryption = "none";
    bool mediaEncryptionMandatory = false;
    std::string caFile;  // empty: the system's CAs only
    bool gruu = false;
    bool earlyMedia = true;
    uint32_t maxCalls = kDefaultMaxCalls;
    std::string password;
    std::string passwordPlace;    // where it was found ("keyring", "user file"); empty: none
    std::string passwordProblem;  // why the keyring could not be asked, if it could not
    std::string turnPassword;     // read only when a TURN server is set
    std::string turnPasswordPlace;
    std::string turnPasswordProblem;

    // The user name at the TURN server.
    const std::string& TurnUser() const { return turnUser.empty() ? identity.user : turnUser; }

    // What the stack must redo its account for: everything but the password and the
    // settings read at each call.
    bool SameAccount(const SipSettings& other) const;
    // The address the signalling goes to first: the outbound proxy, else the proxy.
    const std::optional<SipAddress>& FirstHop() const {
        return outboundProxyAddress ? outboundProxyAddress : proxyAddress;
    }
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
// Reads the TURN server's password into `result` when a TURN server is set (the keyring
// is not asked otherwise).
void ReadTurnPassword(SipSettingsResult& result, AccountPassword& turnPassword);

// Every setting that is set, by its velto-account name, as text ("on"/"off" for switches).
std::map<std::string, std::string> ReadSipValues(const platform::Registry& registry);

// The value of a setting as `velto-account show` prints it (the `unset` text when unset).
std::string ShowSipSetting(const platform::Registry& registry, const SipSettingInfo& setting);

// True when an identity is set (valid or not): the program then means to use SIP.
bool SipIdentityConfigured(const platform::Registry& registry);

}  // namespace velto::skype::sip
