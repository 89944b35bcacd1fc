#include "sipaccount/AccountForm.h"

#include <vector>

#include "sipaccount/AccountPassword.h"
#include "sipaccount/HivePasswordStore.h"
#include "sipaccount/SipAddress.h"
#include "sipaccount/SipSettings.h"

namespace velto::skype::sip {
namespace {

bool StartsWith(const std::string& text, std::string_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// A switch's default, as its help for `show` names it: "on (default)".
std::string SwitchDefault(const SipSettingInfo& setting) {
    return StartsWith(setting.unset, "on") ? "on" : "off";
}

}  // namespace

std::optional<platform::RegValue> StoredSipValue(const SipSettingInfo& setting,
                                                 const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    switch (setting.kind) {
        case SettingKind::Text:
            return platform::RegValue::String(text);
        case SettingKind::Switch:
            return platform::RegValue::Dword(text == "on" ? 1u : 0u);
        case SettingKind::Number:
            break;
    }
    return platform::RegValue::Dword(static_cast<uint32_t>(std::stoul(text)));
}

AccountValues ReadAccountValues(const platform::Registry& registry) {
    const auto stored = ReadSipValues(registry);
    AccountValues values;
    for (const SipSettingInfo& setting : SipSettingList()) {
        const auto found = stored.find(setting.name);
        if (found != stored.end()) {
            values[setting.name] = found->second;
        } else {
            values[setting.name] =
                setting.kind == SettingKind::Switch ? SwitchDefault(setting) : std::string();
        }
    }
    return values;
}

std::map<std::string, std::string> CheckAccountValues(const AccountValues& values) {
    std::map<std::string, std::string> refused;
    for (const SipSettingInfo& setting : SipSettingList()) {
        const auto found = values.find(setting.name);
        const std::string text = found == values.end() ? std::string() : found->second;
        // An empty number is the default, as an empty text is.
        if (text.empty() && setting.kind == SettingKind::Number) {
            continue;
        }
        if (const auto problem = CheckSipSetting(setting, text)) {
            refused[setting.name] = *problem;
        }
    }
    return refused;
}

namespace {

// What differs from `before`, in one write; the values are not checked here.
bool WriteChanges(platform::Registry& registry, const AccountValues& before,
                  const AccountValues& after, std::string& error) {
    std::vector<platform::Registry::ValueChange> changes;
    for (const SipSettingInfo& setting : SipSettingList()) {
        const auto now = after.find(setting.name);
        const auto was = before.find(setting.name);
        const std::string text = now == after.end() ? std::string() : now->second;
        if (was != before.end() && was->second == text) {
            continue;
        }
        changes.push_back({setting.value, StoredSipValue(setting, text)});
    }
    if (changes.empty()) {
        return true;
    }
    if (registry.SetValues(platform::RegRoot::CurrentUser, kSipKey, changes) !=
        platform::RegError::Ok) {
        error = "the account could not be saved in " + registry.files().currentUser.string();
        return false;
    }
    return true;
}

}  // namespace

bool SaveAccountValues(platform::Registry& registry, const AccountValues& before,
                       const AccountValues& after, std::string& error) {
    const auto refused = CheckAccountValues(after);
    if (!refused.empty()) {
        const SipSettingInfo* first = FindSipSetting(refused.begin()->first);
        error = std::string(first->value) + ": " + refused.begin()->second;
        return false;
    }
    return WriteChanges(registry, before, after, error);
}

namespace {

// One typed password to its place; false with the reason (its notes added to `saved`).
bool SavePassword(platform::Registry& registry, const KeyringFor& keyring, const PasswordItem& item,
                  const std::string& password, AccountSaved& saved, std::string& place) {
    const auto store = keyring(item);
    HivePasswordStore userFile(registry, item);
    AccountPassword::Saved outcome = AccountPassword(*store, userFile).Save(password);
    for (std::string& problem : outcome.problems) {
        saved.notes.push_back(std::move(problem));
    }
    if (outcome.ok) {
        place = std::move(outcome.place);
        return true;
    }
    saved.problem = saved.notes.empty() ? std::string("the ") + item.what + " could not be saved"
                                        : saved.notes.back();
    return false;
}

}  // namespace

AccountSaved SaveAccount(platform::Registry& registry, const KeyringFor& keyring,
                         const AccountValues& before, const AccountValues& after,
                         const TypedPasswords& passwords) {
    AccountSaved saved;
    if (!SaveAccountValues(registry, before, after, saved.problem)) {
        return saved;
    }
    const bool account =
        !passwords.account || SavePassword(registry, keyring, kAccountPassword, *passwords.account,
                                           saved, saved.passwordPlace);
    const bool turn = account && (!passwords.turn ||
                                  SavePassword(registry, keyring, kTurnPassword, *passwords.turn,
                                               saved, saved.turnPasswordPlace));
    if (turn) {
        saved.ok = true;
        return saved;
    }
    if (passwords.account && account) {
        saved.notes.push_back("the password was saved in the " + saved.passwordPlace +
                              "; only the TURN password was not");
    }
    // Back as they were, even an account that could not be used then.
    std::string undone;
    if (!WriteChanges(registry, after, before, undone)) {
        saved.notes.push_back("the settings could not be put back: " + undone);
    }
    return saved;
}

ProxyParts SplitProxy(const std::string& uri) {
    std::string error;
    const auto address = ParseSipAddress(uri, error);
    if (!address) {
        return {uri, "udp"};
    }
    std::string host = address->host;
    if (address->port != 0) {
        host += ":" + std::to_string(address->port);
    }
    if (address->looseRoute) {
        host += ";lr";
    }
    return {host, address->Transport()};
}

std::string JoinProxy(const ProxyParts& parts, const std::string& before) {
    if (!before.empty()) {
        const ProxyParts shown = SplitProxy(before);
        if (shown.host == parts.host && shown.transport == parts.transport) {
            return before;
        }
    }
    std::string host = parts.host;
    std::string transport = parts.transport;
    if (StartsWith(host, "sips:")) {
        host.erase(0, 5);
        transport = "tls";
    } else if (StartsWith(host, "sip:")) {
        host.erase(0, 4);
    }
    if (host.empty()) {
        return {};
    }
    return "sip:" + host + (transport == "udp" ? "" : ";transport=" + transport);
}

}  // namespace velto::skype::sip
