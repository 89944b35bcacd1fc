#include "sipaccount/SipSettings.h"

#include <map>

namespace velto::skype::sip {
namespace {

using platform::RegError;
using platform::RegRoot;

std::string ReadText(const platform::Registry& registry, const char* name) {
    std::string value;
    if (registry.QueryString(RegRoot::CurrentUser, kSipKey, name, value) != RegError::Ok) {
        return {};
    }
    return value;
}

}  // namespace

std::map<std::string, std::string> ReadSipValues(const platform::Registry& registry) {
    std::map<std::string, std::string> values;
    for (const SipSettingInfo& setting : SipSettingList()) {
        if (setting.kind == SettingKind::Text) {
            std::string text = ReadText(registry, setting.value);
            if (!text.empty()) {
                values[setting.name] = std::move(text);
            }
            continue;
        }
        uint32_t number = 0;
        if (registry.QueryDword(RegRoot::CurrentUser, kSipKey, setting.value, number) ==
            RegError::Ok) {
            values[setting.name] = setting.kind == SettingKind::Switch
                                       ? std::string(number != 0 ? "on" : "off")
                                       : std::to_string(number);
        }
    }
    return values;
}

namespace {

void Fill(SipSettings& s, const std::map<std::string, std::string>& values) {
    std::string error;
    auto text = [&](const char* name) {
        const auto found = values.find(name);
        return found == values.end() ? std::string() : found->second;
    };
    s.identityText = text("identity");
    s.identity = *ParseSipAddress(s.identityText, error);
    if (values.count("listen") != 0) {
        s.listen = *ParseListenAddress(text("listen"), error);
    }
    s.proxy = text("proxy");
    if (!s.proxy.empty()) {
        s.proxyAddress = ParseSipAddress(s.proxy, error);
    }
    s.outboundProxy = text("outbound-proxy");
    if (!s.outboundProxy.empty()) {
        s.outboundProxyAddress = ParseSipAddress(s.outboundProxy, error);
    }
    s.authUser = text("auth-user");
    s.realm = text("realm");
    if (values.count("expiry") != 0) {
        s.expiry = static_cast<uint32_t>(std::stoul(text("expiry")));
    }
    s.stun = text("stun");
    s.turn = text("turn");
    s.turnUser = text("turn-user");
    s.ice = text("ice") == "on" || !s.turn.empty();
    if (values.count("rtp-ports") != 0) {
        s.rtpPorts = ParsePortRange(text("rtp-ports"), error);
    }
    if (values.count("media-encryption") != 0) {
        s.mediaEncryption = text("media-encryption");
    }
    s.mediaEncryptionMandatory = text("media-encryption-mandatory") == "on";
    s.caFile = text("ca-file");
    s.gruu = text("gruu") == "on";
    s.earlyMedia = text("early-media") != "off";
    if (values.count("max-calls") != 0) {
        s.maxCalls = static_cast<uint32_t>(std::stoul(text("max-calls")));
    }
}

}  // namespace

bool SipSettings::SameAccount(const SipSettings& other) const {
    return identityText == other.identityText && listen.address == other.listen.address &&
           listen.port == other.listen.port && proxy == other.proxy &&
           outboundProxy == other.outboundProxy && authUser == other.authUser &&
           realm == other.realm && expiry == other.expiry && stun == other.stun &&
           ice == other.ice && turn == other.turn && turnUser == other.turnUser &&
           (rtpPorts ? rtpPorts->low : 0) == (other.rtpPorts ? other.rtpPorts->low : 0) &&
           (rtpPorts ? rtpPorts->high : 0) == (other.rtpPorts ? other.rtpPorts->high : 0) &&
           mediaEncryption == other.mediaEncryption &&
           mediaEncryptionMandatory == other.mediaEncryptionMandatory && caFile == other.caFile &&
           gruu == other.gruu;
}

SipSettingsResult ReadSipSettings(const platform::Registry& registry, AccountPassword& password) {
    SipSettingsResult result = ReadSipSettings(registry);
    if (result.settings) {
        AccountPassword::Found found = password.Read();
        result.settings->password = std::move(found.password);
        result.settings->passwordPlace = std::move(found.place);
        result.settings->passwordProblem = std::move(found.problem);
    }
    return result;
}

SipSettingsResult ReadSipSettings(const platform::Registry& registry) {
    SipSettingsResult result;
    const auto values = ReadSipValues(registry);
    if (values.count("identity") == 0) {
        result.error = std::string(kIdentityValue) + ": no SIP identity is set";
        return result;
    }
    // Each value is checked as velto-account checks it; the first bad one is named.
    for (const SipSettingInfo& setting : SipSettingList()) {
        const auto found = values.find(setting.name);
        if (found == values.end()) {
            continue;
        }
        if (const auto problem = CheckSipSetting(setting, found->second)) {
            result.error = std::string(setting.value) + " \"" + found->second + "\": " + *problem;
            return result;
        }
    }
    SipSettings settings;
    Fill(settings, values);
    settings.password = ReadText(registry, kPasswordValue);
    if (!settings.password.empty()) {
        settings.passwordPlace = kUserFilePlace;
    }
    settings.turnPassword = ReadText(registry, kTurnPasswordValue);
    if (!settings.turnPassword.empty()) {
        settings.turnPasswordPlace = kUserFilePlace;
    }
    result.settings = std::move(settings);
    return result;
}

void ReadTurnPassword(SipSettingsResult& result, AccountPassword& turnPassword) {
    if (!result.settings || result.settings->turn.empty()) {
        return;
    }
    AccountPassword::Found found = turnPassword.Read();
    result.settings->turnPassword = std::move(found.password);
    result.settings->turnPasswordPlace = std::move(found.place);
    result.settings->turnPasswordProblem = std::move(found.problem);
}

std::string ShowSipSetting(const platform::Registry& registry, const SipSettingInfo& setting) {
    const auto values = ReadSipValues(registry);
    const auto found = values.find(setting.name);
    if (std::string_view(setting.name) == "ice" && values.count("turn") != 0 &&
        (found == values.end() || found->second == "off")) {
        return "on (the TURN server needs it)";
    }
    return found == values.end() ? std::string(setting.unset) : found->second;
}

bool SipIdentityConfigured(const platform::Registry& registry) {
    return !ReadText(registry, kIdentityValue).empty();
}

}  // namespace velto::skype::sip
