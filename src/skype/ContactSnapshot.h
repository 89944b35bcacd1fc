#pragma once

#include <string>
#include <vector>

#include "skype/api/Skype.h"

namespace velto::skype {

// One contact as the contact list shows it.
struct ContactEntry {
    std::string handle;
    std::string fullName;
    std::string displayName;
    OnlineStatus onlineStatus = OnlineStatus::Unknown;
    bool operator==(const ContactEntry&) const = default;
};
using ContactSnapshot = std::vector<ContactEntry>;

// The signed-in user's contacts in Skype's order, without the ones kept out of the list.
ContactSnapshot TakeContactSnapshot(Skype& skype);

}  // namespace velto::skype
