#pragma once

#include <string>

#include "backends/sip/SipState.h"

namespace velto::skype::sip {

// The name a call's partner is shown by, never empty: the caller's own display name (From),
// else the contact's display name, else its full name, else the SIP handle.
std::string PartnerName(const std::string& fromName, const ContactState* contact,
                        const std::string& handle);

}  // namespace velto::skype::sip
