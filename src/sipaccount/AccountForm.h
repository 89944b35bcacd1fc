#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/RegValue.h"
#include "platform/Registry.h"
#include "sipaccount/PasswordStore.h"
#include "sipaccount/SipSettingList.h"

// The SIP account as a form edits it: every setting of SipSettingList by its velto-account
// name, as the text `velto-account set` takes ("on"/"off" for switches; an empty text is
// the setting unset, its default applying). Checked by the same rules, saved all at once.
namespace velto::skype::sip {

using AccountValues = std::map<std::string, std::string>;

// The stored value of `text` for `setting` (already checked); nothing: the value goes.
std::optional<platform::RegValue> StoredSipValue(const SipSettingInfo& setting,
                                                 const std::string& text);

// Every setting as the user hive holds it; an unset switch shows its default.
AccountValues ReadAccountValues(const platform::Registry& registry);

// The refused values by setting name, each with the reason CheckSipSetting gives.
std::map<std::string, std::string> CheckAccountValues(const AccountValues& values);

// Saves what differs from `before`, in one write of the user hive: all of it or nothing
// (nothing either when a value is refused). False with the reason.
bool SaveAccountValues(platform::Registry& registry, const AccountValues& before,
                       const AccountValues& after, std::string& error);

// The passwords a form was given: nothing for one keeps the saved one; an empty one
// removes it.
struct TypedPasswords {
    std::optional<std::string> account;
    std::optional<std::string> turn;
    bool Any() const { return account || turn; }
};

// An edited account saved: the settings, then each password that was typed. When a password
// can go nowhere, the settings are put back as they were: nothing is half-saved (a password
// saved before it stays saved, and is said in the notes).
struct AccountSaved {
    bool ok = false;
    std::string problem;             // why not, when not
    std::string passwordPlace;       // where a typed account password went
    std::string turnPasswordPlace;   // where a typed TURN password went
    std::vector<std::string> notes;  // what went wrong on the way (a keyring out of reach)
};
AccountSaved SaveAccount(platform::Registry& registry, const KeyringFor& keyring,
                         const AccountValues& before, const AccountValues& after,
                         const TypedPasswords& passwords);

// The proxy setting as a form shows it: `HOST[:PORT]` and the transport ("udp", "tcp",
// "tls"), and back. A `sip:` or `sips:` the user types in front of the host is taken off.
struct ProxyParts {
    std::string host;
    std::string transport = "udp";
};
// An address that does not parse is shown as it is (with the transport udp).
ProxyParts SplitProxy(const std::string& uri);
// Empty when the host is empty (no registrar); udp is the URI's default and not written.
// `before`, the setting as it was, stays as it was written when it shows the same parts.
std::string JoinProxy(const ProxyParts& parts, const std::string& before = {});

}  // namespace velto::skype::sip
