#include "backends/sip/SipSettings.h"

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
    SipSettings settings;
    std::string error;
    settings.identityText = ReadText(registry, kIdentityValue);
    if (settings.identityText.empty()) {
        result.error = std::string(kIdentityValue) + ": no SIP identity is set";
        return result;
    }
    auto identity = ParseSipAddress(settings.identityText, error);
    if (identity && identity->user.empty()) {
        identity.reset();
        error = "no user before '@'";
    }
    if (!identity) {
        result.error = std::string(kIdentityValue) + " \"" + settings.identityText + "\": " + error;
        return result;
    }
    settings.identity = *identity;
    auto listen = ParseListenAddress(ReadText(registry, kListenValue), error);
    if (!listen) {
        result.error =
            std::string(kListenValue) + " \"" + ReadText(registry, kListenValue) + "\": " + error;
        return result;
    }
    settings.listen = *listen;
    settings.proxy = ReadText(registry, kProxyValue);
    if (!settings.proxy.empty() && !ParseSipAddress(settings.proxy, error)) {
        result.error = std::string(kProxyValue) + " \"" + settings.proxy + "\": " + error;
        return result;
    }
    uint32_t early = 1;
    if (registry.QueryDword(RegRoot::CurrentUser, kSipKey, kEarlyMediaValue, early) ==
        RegError::Ok) {
        settings.earlyMedia = early != 0;
    }
    uint32_t maxCalls = kDefaultMaxCalls;
    if (registry.QueryDword(RegRoot::CurrentUser, kSipKey, kMaxCallsValue, maxCalls) ==
            RegError::Ok &&
        (maxCalls == 0 || maxCalls > kLargestMaxCalls)) {
        result.error = std::string(kMaxCallsValue) + " " + std::to_string(maxCalls) +
                       ": not between 1 and " + std::to_string(kLargestMaxCalls);
        return result;
    }
    settings.maxCalls = maxCalls;
    settings.password = ReadText(registry, kPasswordValue);
    if (!settings.password.empty()) {
        settings.passwordPlace = kUserFilePlace;
    }
    result.settings = std::move(settings);
    return result;
}

bool SipIdentityConfigured(const platform::Registry& registry) {
    return !ReadText(registry, kIdentityValue).empty();
}

}  // namespace velto::skype::sip
