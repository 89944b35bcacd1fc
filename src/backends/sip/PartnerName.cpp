#include "backends/sip/PartnerName.h"

namespace velto::skype::sip {

std::string PartnerName(const std::string& fromName, const ContactState* contact,
                        const std::string& handle) {
    if (!fromName.empty()) {
        return fromName;
    }
    if (contact != nullptr && !contact->displayName.empty()) {
        return contact->displayName;
    }
    if (contact != nullptr && !contact->fullName.empty()) {
        return contact->fullName;
    }
    return handle;
}

}  // namespace velto::skype::sip
