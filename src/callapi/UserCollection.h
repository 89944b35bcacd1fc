#pragma once

#include <cstdint>
#include <memory>

#include "callapi/User.h"

namespace velto::skype {

// A snapshot list of users, taken when the collection was obtained.
class UserCollection {
  public:
    virtual ~UserCollection() = default;

    virtual int32_t Count() = 0;
    // 1-based; an index outside 1..Count() raises AutomationError (kBadIndex).
    virtual std::shared_ptr<User> Item(int32_t index) = 0;
};

}  // namespace velto::skype
