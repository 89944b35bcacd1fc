#pragma once

#include <string>
#include <vector>

#include "callapi/Numbering.h"
#include "platform/InterfaceTable.h"

namespace velto::skype {

// A Skype user: a contact or the signed-in user. Properties are read live from Skype.
// Every operation may raise AutomationError.
class User {
  public:
    virtual ~User() = default;

    virtual std::string Handle() = 0;
    virtual std::string FullName() = 0;
    virtual std::string DisplayName() = 0;
    virtual skype::OnlineStatus OnlineStatus() = 0;
    // True for a contact that must be kept out of the contact list (and its snapshot).
    virtual bool IsBlocked() = 0;
    // The groups the user has put the contact in (address books' categories); none where
    // the client keeps no groups.
    virtual std::vector<std::string> Groups() { return {}; }

    // Puts this user into the interface table for another thread, which obtains its own
    // reference with table.Get<User>(cookie).
    virtual platform::Cookie RegisterIn(platform::InterfaceTable& table) = 0;
};

}  // namespace velto::skype
