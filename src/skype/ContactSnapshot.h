#pragma once

#include <string>
#include <vector>

#include "callapi/Skype.h"

namespace velto::skype {

// One contact as the contact list names it. The online status is left out on purpose:
// status changes reach the list through their own events, and a large list always has
// someone changing status, so a snapshot with statuses would never settle.
struct ContactEntry {
    std::string handle;
    std::string fullName;
    std::string displayName;
    bool operator==(const ContactEntry&) const = default;
};
using ContactSnapshot = std::vector<ContactEntry>;

// The signed-in user's contacts in Skype's order, without the ones kept out of the list.
ContactSnapshot TakeContactSnapshot(Skype& skype);

}  // namespace velto::skype
