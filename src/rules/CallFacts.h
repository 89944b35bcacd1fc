#pragma once

#include <string>
#include <vector>

#include "rules/CivilTime.h"
#include "rules/Rule.h"

namespace velto::rules {

// What the rules can see of one call at the moment it arrives.
struct CallFacts {
    std::string caller;               // handle, lower case; empty = no caller id
    bool isContact = false;           // the caller is in the user's contacts
    std::vector<std::string> groups;  // the contact's groups, lower case, sorted
    CivilTime when;                   // local wall time of the call
    Presence presence = Presence::Online;
};

}  // namespace velto::rules
