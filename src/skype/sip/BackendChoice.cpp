#include "skype/sip/BackendChoice.h"

#include <optional>

#include "skype/sip/SipSettings.h"

namespace velto::skype::sip {

BackendChoice ChooseBackend(const std::vector<std::string>& arguments,
                            const platform::Registry& registry) {
    BackendChoice choice;
    std::optional<std::string> named;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--backend") {
            if (i + 1 < arguments.size()) {
                named = arguments[++i];
            } else {
                choice.error = "--backend needs sip or none";
            }
        } else if (argument.rfind("--backend=", 0) == 0) {
            named = argument.substr(10);
        } else {
            choice.rest.push_back(argument);
        }
    }
    if (named && *named != "sip" && *named != "none") {
        choice.error = "--backend " + *named + ": expected sip or none";
        named.reset();
    }
    if (named) {
        choice.backend = *named == "sip" ? CallBackend::Sip : CallBackend::None;
    } else {
        choice.backend = SipIdentityConfigured(registry) ? CallBackend::Sip : CallBackend::None;
    }
    return choice;
}

}  // namespace velto::skype::sip
