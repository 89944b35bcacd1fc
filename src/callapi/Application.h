#pragma once

#include <memory>
#include <string>

#include "callapi/ApplicationStreamCollection.h"

namespace velto::skype {

// An application registered with Skype (by the command "Create Application NAME").
class Application {
  public:
    virtual ~Application() = default;

    virtual std::string Name() = 0;
    // The open streams now.
    virtual std::shared_ptr<ApplicationStreamCollection> Streams() = 0;
};

}  // namespace velto::skype
