#include "sipaccount/BackendChoice.h"

#include "platform/Trace.h"
#include "sipaccount/SipSettings.h"

namespace velto::skype::sip {

CallBackend ChooseBackend(const std::optional<std::string>& named,
                          const platform::Registry& registry) {
    if (named == "sip") {
        return CallBackend::Sip;
    }
    if (named == "none") {
        return CallBackend::None;
    }
    if (named) {
        platform::Trace("velto: --backend %s: expected sip or none\n", named->c_str());
    }
    return SipIdentityConfigured(registry) ? CallBackend::Sip : CallBackend::None;
}

}  // namespace velto::skype::sip
