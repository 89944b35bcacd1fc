#pragma once

#include <memory>

#include "callapi/Skype.h"
#include "platform/MessageLoop.h"

namespace velto::skype {

// Creates the Skype automation object. The program calls it on the thread that owns `loop`;
// the object's events are delivered through `loop` on that thread. Null when the object
// cannot be created (no Skype automation component available).
class SkypeFactory {
  public:
    virtual ~SkypeFactory() = default;
    virtual std::shared_ptr<Skype> CreateSkype(platform::MessageLoop& loop) = 0;
};

}  // namespace velto::skype
